// TfmLinkProp, the link properties dialog: the comparison operator of one link's condition
// and the outer-join sides of the join between the link's two boxes. The work area makes one
// and runs it for a link (its subject) from the link's menu or a double click.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TQBLink;
class TQBWorkArea;

class TfmLinkProp final : public QDialog {
    Q_OBJECT

public:
    explicit TfmLinkProp(TQBWorkArea* workArea);

    // The link being edited; the caller sets it just before running the dialog. The work
    // area clears it when that link is removed.
    TQBLink* Subject = nullptr;
    // Both outer-join boxes may be ticked together (a full outer join).
    bool FAllowFullOuter = true;

    // Replaces the operators offered (comma text); only these are accepted.
    void SetConditions(const std::string& commaText);
    // Fills the controls from the subject and sizes the form; EQBException "无效的连接"
    // without a subject, and the dialog must not open.
    void FormShow();
    // Writes the operator and the join type back (the OK button); false, with the error
    // reported, when the operator is not one of the conditions.
    bool Apply();
    int MinWidth() const { return FMinWidth; }

    QLabel* laCaption;
    QLabel* laLeftField;
    QComboBox* cbConditions;
    QLabel* laRightField;
    QCheckBox* chLeftOuter;
    QCheckBox* chRightOuter;
    QPushButton* buOK;
    QPushButton* buCancel;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the controls for the current width: the operator centred between the field
    // names, the outer-join boxes and the buttons either side of the centre line.
    void FormResize();
    void ComputeMinWidth();
    void OuterClicked(QCheckBox* clicked, QCheckBox* other);

    TQBWorkArea* FWorkArea;  // not owned; the dialog's parent
    std::vector<std::string> FConditions;
    int FMinWidth = 360;
};
