#include "platform/system_message.h"

#include <QApplication>
#include <QMessageBox>

namespace velmora::platform {

void ShowSystemMessage(const QString& text) { QMessageBox::information(QApplication::activeWindow(), QString(), text); }

}  // namespace velmora::platform
