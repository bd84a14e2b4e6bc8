// The IP-address field typed as operators type addresses, one key at a time
// to whichever box has the focus.

#include "platform/ip_address_edit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

class IpAddressTyping : public ::testing::Test {
protected:
    void SetUp() override
    {
        field.show();
        field.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
        field.setFocus();
    }
    void Type(const QString& keys)
    {
        for (const QChar key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
        }
    }
    void Backspace() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace); }

    platform::IpAddressEdit field;
};

TEST_F(IpAddressTyping, DotsAndThirdDigitsMoveOnToTheNextBoxAndBackspaceGoesBack)
{
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"10.0.0.5", "10.0.0.5"},  // read back as the octets, below
        {"192.168.0.1", "192.168.0.1"},  // the dot after a full box is not a second step
        {"1..2", "1.2.."},  // a dot in an empty box is swallowed
        {"1.2.3.4.5", "1.2.3.45"},  // no box after the last
    };
    for (const auto& c : cases) {
        field.Clear();
        field.setFocus();
        Type(QString::fromLatin1(c.typed));
        EXPECT_EQ(field.Text(), c.shown) << c.typed;
        if (c.typed[0] == '1' && c.typed[1] == '0') {
            EXPECT_EQ(field.Octets(), (std::array<std::uint8_t, 4>{10, 0, 0, 5}));
        }
    }
    field.Clear();
    field.setFocus();
    Type(QStringLiteral("10.1"));
    Backspace();  // "1" of the second box
    Backspace();  // back to the first box
    Backspace();  // "0" of the first box
    EXPECT_EQ(field.Text(), "1...");
}

}  // namespace
}  // namespace velmora::test
