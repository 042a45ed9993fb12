// The base of the program's modal windows (TModalForm): filled right before each showing, centred on
// the main window every time, with the labels that name a field and those that show data.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace orvelle {

class TModalForm : public QDialog {
    Q_OBJECT

public:
    explicit TModalForm(QWidget* parent);

    // Fills the window (FormShow) and then shows it modally. A failure while filling reaches the
    // caller as the exception that FormShow raised, and the window is not shown: the caller reports
    // it as it reports any failed command.
    int exec() override;

    // Fills the window from the current data; runs at the start of every showing through exec().
    virtual void FormShow() {}

protected:
    // A label that names a field, drawn in the highlight colour so that it stands apart from values.
    QLabel* NewFieldLabel(const QString& caption, QWidget* parent);
    // A label that shows device or radio data: plain text, so a name is never taken for markup.
    QLabel* NewValueLabel(const char* objectName, QWidget* parent);
    // The "Close" button of a window that only shows: the default button, closing as Cancel.
    QPushButton* NewCloseButton(const char* objectName);
};

} // namespace orvelle
