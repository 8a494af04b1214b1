#pragma once

#include <QDialog>

namespace kelvane {

// Every message of the last run with its place, as plain text the person can select
// and copy, whole with "すべてコピー".
class CMessageListDlg : public QDialog {
  Q_OBJECT

 public:
  CMessageListDlg(const QString& text, QWidget* parent);
};

}  // namespace kelvane
