#include "desktop/run_progress_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/desktop_app.h"

namespace kelvane {
namespace {

// Wide enough for an archive's name beside the bar, at any font.
constexpr int kTextColumns = 40;

}  // namespace

CRunProgressDlg::CRunProgressDlg(QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("progress"));
  setWindowTitle(QString::fromUtf8(kApplicationName));
  setWindowModality(Qt::WindowModal);

  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("progressText"));
  text_->setTextFormat(Qt::PlainText);
  text_->setMinimumWidth(fontMetrics().averageCharWidth() * kTextColumns);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("progressBar"));
  bar_->setFormat(QStringLiteral("%v / %m"));
  bar_->setRange(0, 0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  cancel_ = buttons->button(QDialogButtonBox::Cancel);
  cancel_->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::rejected, this, &CRunProgressDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(bar_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CRunProgressDlg::ShowArchive(int index, int count, const QString& name) {
  if (stopAsked_) return;
  const QString shown = text_->fontMetrics().elidedText(name, Qt::ElideMiddle, text_->minimumWidth() / 2);
  text_->setText(QStringLiteral("%1 を読み込んでいます").arg(shown));
  bar_->setRange(0, count);
  bar_->setValue(index + 1);
}

void CRunProgressDlg::reject() {
  if (stopAsked_) return;
  stopAsked_ = true;
  text_->setText(QStringLiteral("中止しています..."));
  cancel_->setEnabled(false);
  emit Stop();
}

}  // namespace kelvane
