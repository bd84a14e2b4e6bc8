// The demo panel on a dark palette, for the screenshots that show the panel's
// own painting (tab labels, message box, progress popup) following the
// palette the desktop gives it.

#include "app/options.h"
#include "app/session.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace {

QPalette DarkPalette()
{
    QPalette p;
    const QColor window(45, 45, 48);
    const QColor button(62, 64, 68);
    const QColor base(30, 30, 32);
    const QColor text(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    }
    return p;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(DarkPalette());
    velmora::app::Options options;
    options.demo = true;
    velmora::app::Session session(options);
    return session.Run();
}
