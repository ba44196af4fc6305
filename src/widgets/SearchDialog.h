#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rix {

// The modeless find dialog (find text, whole word, match case, direction) or
// replace dialog (find text, replacement, whole word, match case). Both start
// searching down with match case ticked. Opening one returns at once; the
// work happens in the signals.
class SearchDialog : public QDialog {
  Q_OBJECT

public:
  enum class Kind { Find, Replace };

  SearchDialog(Kind kind, QWidget* parent);

  Kind kind() const { return kind_; }
  QString findText() const;
  void setFindText(const QString& text);
  QString replaceText() const;
  bool wholeWord() const;
  bool matchCase() const;
  bool searchDown() const;
  // Shows it, or brings it to the front, and does not wait.
  void execute();

  QLineEdit* FindEdit = nullptr;
  QLineEdit* ReplaceEdit = nullptr;  // replace dialog only
  QCheckBox* WholeWordChk = nullptr;
  QCheckBox* MatchCaseChk = nullptr;
  QRadioButton* UpRadio = nullptr;  // find dialog only
  QRadioButton* DownRadio = nullptr;
  QPushButton* FindNextBtn = nullptr;
  QPushButton* ReplaceBtn = nullptr;  // replace dialog only
  QPushButton* ReplaceAllBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

signals:
  void find();
  void replace(bool all);

private:
  Kind kind_;
};

}  // namespace rix
