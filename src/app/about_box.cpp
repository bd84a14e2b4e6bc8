#include "app/about_box.h"

#include "platform/dialog_builder.h"
#include "res/artwork.h"
#include "res/resource_ids.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::app {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    auto* icon = new QLabel(this);
    icon->setPixmap(res::IconSet(res::kAppIcon).pixmap(32, 32));
    auto* line = new QLabel(QString::fromUtf8(kAboutLine), this);
    auto* ok = new QPushButton(QString::fromUtf8(kAboutOk), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(line, 1);
    row->addWidget(ok);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
}

}  // namespace velmora::app
