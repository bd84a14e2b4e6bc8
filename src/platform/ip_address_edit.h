#pragma once
// An IPv4 address field of four octet boxes, typed as operators type
// addresses: '.' moves on to the next box, as does a box's third digit, and
// Backspace in an empty box goes back to the one before.

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace velmora::platform {

class IpAddressEdit : public QWidget {
    Q_OBJECT
public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    void SetAddress(std::uint32_t address);  // most significant octet first
    void SetOctets(const std::array<std::uint8_t, 4>& octets);
    // Empty when any box is blank.
    std::optional<std::array<std::uint8_t, 4>> Octets() const;
    // The four fields as the control keeps them: a blank field is 0, and a
    // number typed beyond 255 stands at 255.
    std::array<std::uint8_t, 4> Fields() const;
    void Clear();
    QString Text() const;

signals:
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusBox(std::size_t index);
    void OnTextEdited(std::size_t index);

    std::array<QLineEdit*, 4> boxes_{};
};

}  // namespace velmora::platform
