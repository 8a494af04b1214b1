#include "desktop/message_list_dlg.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/desktop_app.h"
#include "desktop/screen_fit.h"

namespace kelvane {

CMessageListDlg::CMessageListDlg(const QString& text, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(kApplicationName) + QStringLiteral(" - メッセージ一覧"));
  auto* list = new QPlainTextEdit(text, this);
  list->setObjectName(QStringLiteral("messageList"));
  list->setReadOnly(true);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* copy = buttons->addButton(QStringLiteral("すべてコピー"), QDialogButtonBox::ActionRole);
  connect(copy, &QPushButton::clicked, this,
          [list] { QGuiApplication::clipboard()->setText(list->toPlainText()); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list);
  layout->addWidget(buttons);
  FitOnScreen(this, QSize(640, 360), parent);
}

}  // namespace kelvane
