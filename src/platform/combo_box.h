#pragma once
// A drop-down list with the list operations the panel uses: positions,
// sorted insertion for sorted lists, and explicit insertion at a position.

#include <QComboBox>

namespace velmora::platform {

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(bool sorted, bool editable, QWidget* parent = nullptr);

    // Appends, or for a sorted list inserts in text order; returns the position.
    int AddString(const QString& text);
    int InsertString(int position, const QString& text);  // -1 appends
    void DeleteString(int position);
    void ResetContent();
    int GetCount() const { return count(); }
    int GetCurSel() const { return currentIndex(); }
    // Out of range clears the selection, as a list does.
    void SetCurSel(int position);
    QString GetLBText(int position) const { return itemText(position); }
    int FindStringExact(const QString& text) const;
    bool IsSorted() const { return sorted_; }

private:
    bool sorted_;
};

}  // namespace velmora::platform
