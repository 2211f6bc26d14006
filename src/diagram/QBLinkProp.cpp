// The link properties dialog: filling it from a link, its layout around the centre line,
// and writing the operator and the join type back to the link, its join and the model.
#include "diagram/QBLinkProp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "diagram/QBModelLink.h"
#include "model/QBJoinDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

QFont FontOf(const char* family, int pixels, bool bold = false) {
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// B's name, followed by " (key)" when its key is another text.
std::string BoxText(const TQBTable& box) {
    return box.Key() == box.Name() ? box.Name() : box.Name() + " (" + box.Key() + ")";
}

int TextWidth(const QWidget& widget, const QString& text) {
    return widget.fontMetrics().horizontalAdvance(text);
}

// The outer-join type 1 and 2 name a side: seen from the other side they trade places.
int MirrorJoinType(int type) { return type == 1 ? 2 : type == 2 ? 1 : type; }

}  // namespace

TfmLinkProp::TfmLinkProp(TQBWorkArea* workArea) : QDialog(workArea, Qt::Tool), FWorkArea(workArea) {
    setWindowTitle(QString::fromUtf8(QBResource::SLinkPropCaption));
    setFont(FontOf("宋体", 12));
    setSizeGripEnabled(false);

    laCaption = new QLabel(this);
    laCaption->setFont(FontOf("宋体", 15, true));
    laCaption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    laLeftField = new QLabel(this);
    laLeftField->setFont(FontOf("MS Sans Serif", 13));
    laLeftField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cbConditions = new QComboBox(this);
    cbConditions->setEditable(true);
    cbConditions->setInsertPolicy(QComboBox::NoInsert);
    laRightField = new QLabel(this);
    laRightField->setFont(FontOf("MS Sans Serif", 13));
    chLeftOuter = new QCheckBox(QString::fromUtf8(QBResource::SLinkPropLeftOuter), this);
    chRightOuter = new QCheckBox(QString::fromUtf8(QBResource::SLinkPropRightOuter), this);
    chRightOuter->setLayoutDirection(Qt::LeftToRight);
    buOK = new QPushButton(QString::fromUtf8(QBResource::SLinkPropOK), this);
    buOK->setDefault(true);
    buCancel = new QPushButton(QString::fromUtf8(QBResource::SLinkPropCancel), this);

    SetConditions("=,>,<,>=,<=,<>");
    connect(chLeftOuter, &QCheckBox::clicked, this, [this] { OuterClicked(chLeftOuter, chRightOuter); });
    connect(chRightOuter, &QCheckBox::clicked, this, [this] { OuterClicked(chRightOuter, chLeftOuter); });
    connect(buOK, &QPushButton::clicked, this, [this] {
        bool applied = false;
        FWorkArea->Guard([&] { applied = Apply(); });
        if (applied) accept();
    });
    connect(buCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(341, 156);
}

void TfmLinkProp::SetConditions(const std::string& commaText) {
    FConditions.clear();
    std::size_t start = 0;
    while (start <= commaText.size()) {
        const std::size_t comma = std::min(commaText.find(',', start), commaText.size());
        const std::string item = Trim(commaText.substr(start, comma - start));
        if (!item.empty()) FConditions.push_back(item);
        start = comma + 1;
    }
    const QString text = cbConditions->currentText();
    cbConditions->clear();
    for (const std::string& item : FConditions) cbConditions->addItem(QString::fromStdString(item));
    cbConditions->setCurrentText(text);
}

void TfmLinkProp::OuterClicked(QCheckBox* clicked, QCheckBox* other) {
    if (!FAllowFullOuter && clicked->isChecked()) other->setChecked(false);
}

void TfmLinkProp::FormShow() {
    if (!Subject) throw EQBException(QBResource::SInvalidLink);
    const TQBJoin& join = *Subject->Join();
    laCaption->setText(QString::fromStdString(std::string(QBResource::SLinkedTables) + BoxText(*join.Table0) + " " +
                                              QBResource::SAnd + " " + BoxText(*join.Table1)));
    laLeftField->setText(QString::fromStdString(Subject->Item0()->Name()));
    laRightField->setText(QString::fromStdString(Subject->Item1()->Name()));
    chLeftOuter->setText(QString::fromStdString(std::string(QBResource::SIncludeAll) + " " + join.TableName(0)));
    chRightOuter->setText(QString::fromStdString(std::string(QBResource::SIncludeAll) + " " + join.TableName(1)));
    chLeftOuter->setChecked(join.JoinType == 1 || join.JoinType == 3);
    chRightOuter->setChecked(join.JoinType == 2 || join.JoinType == 3);
    cbConditions->setCurrentText(QString::fromStdString(Subject->FOperator));
    ComputeMinWidth();
    if (width() < FMinWidth) resize(FMinWidth, height());
    FormResize();
}

void TfmLinkProp::ComputeMinWidth() {
    // Each outer-join box is as wide as its caption (and never narrower than it draws).
    for (QCheckBox* box : {chLeftOuter, chRightOuter})
        box->resize(std::max(TextWidth(*chLeftOuter, box->text()) + 20, box->sizeHint().width()),
                    std::max(17, box->sizeHint().height()));
    for (QLabel* label : {laLeftField, laRightField})
        label->resize(std::max(TextWidth(*label, label->text()), 1), std::max(16, label->sizeHint().height()));
    cbConditions->resize(std::max(49, cbConditions->minimumSizeHint().width()),
                         std::max(20, cbConditions->sizeHint().height()));
    const int boxes = 2 * std::max(chLeftOuter->width(), chRightOuter->width()) + 28;
    const int caption = TextWidth(*laCaption, laCaption->text()) + 22;
    const int fields = 2 * std::max(laLeftField->width(), laRightField->width()) + cbConditions->width() + 22;
    FMinWidth = std::max({caption, fields, boxes, 360});
    // Wider only, never taller or shorter: the rows keep their places.
    setMinimumWidth(FMinWidth);
}

void TfmLinkProp::FormResize() {
    const int w = width();
    const int cw = cbConditions->width();
    // Rows at their design places, moved down only when a font needs more height.
    const int captionHeight = std::max(25, laCaption->sizeHint().height());
    const int fieldsTop = captionHeight + 7;
    const int fieldsHeight = std::max({20, cbConditions->height(), laLeftField->height()});
    const int boxesTop = fieldsTop + fieldsHeight + 12;
    const int buttonsTop = boxesTop + std::max(chLeftOuter->height(), chRightOuter->height()) + 15;
    const int buttonHeight = std::max(25, buOK->sizeHint().height());
    laCaption->setGeometry(0, 0, w, captionHeight);
    laLeftField->move((w - cw) / 2 - 1 - laLeftField->width(), fieldsTop + (fieldsHeight - laLeftField->height()) / 2);
    cbConditions->move((w - cw) / 2, fieldsTop + (fieldsHeight - cbConditions->height()) / 2);
    laRightField->move((w + cw) / 2 + 1, fieldsTop + (fieldsHeight - laRightField->height()) / 2);
    chLeftOuter->move(w / 2 - 4 - chLeftOuter->width(), boxesTop);
    chRightOuter->move(w / 2 + 4, boxesTop);
    for (QPushButton* button : {buOK, buCancel})
        button->resize(std::max(75, button->sizeHint().width()), buttonHeight);
    buOK->move(w / 2 - 20 - buOK->width(), buttonsTop);
    buCancel->move(w / 2 + 20, buttonsTop);
    setFixedHeight(buttonsTop + buttonHeight + 8);
}

void TfmLinkProp::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

bool TfmLinkProp::Apply() {
    if (!Subject) return true;
    const std::string op = Trim(cbConditions->currentText().toStdString());
    // Anything else would be written verbatim into the ON clause.
    if (std::find(FConditions.begin(), FConditions.end(), op) == FConditions.end()) {
        FWorkArea->ReportError(QString::fromStdString(FormatMessage(QBResource::SInvalidLinkOperator, op)));
        cbConditions->setFocus();
        return false;
    }
    TQBJoin& join = *Subject->Join();
    const bool left = chLeftOuter->isChecked(), right = chRightOuter->isChecked();
    const int type = left && right ? 3 : left ? 1 : right ? 2 : 0;
    const bool typeChanged = type != join.JoinType;
    join.JoinType = type;
    Subject->FOperator = op;

    TQBSelectParser* parser = FWorkArea->Parser();
    if (TQBJoinDef* def = FindLinkJoinDef(parser, *Subject)) {
        // A definition stored from Table1's side reads the comparison the other way round.
        const bool sameWay = ModelSameName(parser, def->LeftTable, join.Table0->Key()) &&
                             ModelSameName(parser, def->LeftField, Subject->Item0()->Name());
        def->Operator = sameWay ? op : MirrorComparison(op);
    }
    if (parser && parser->GetJoinDefs()) {
        // The join type belongs to the pair of tables: every condition between them gets it,
        // read from its own left side.
        const TQBJoinDefs& defs = *parser->GetJoinDefs();
        const std::string key0 = join.Table0->Key(), key1 = join.Table1->Key();
        for (int i = 0; i < defs.Count(); ++i) {
            TQBJoinDef& def = *defs.Items(i);
            if (ModelSameName(parser, def.LeftTable, key0) && ModelSameName(parser, def.RightTable, key1))
                def.JoinType = static_cast<std::uint8_t>(type);
            else if (ModelSameName(parser, def.LeftTable, key1) && ModelSameName(parser, def.RightTable, key0))
                def.JoinType = static_cast<std::uint8_t>(MirrorJoinType(type));
        }
    }
    for (int i = 0; i < FWorkArea->LinkCount(); ++i) {
        TQBLink* link = FWorkArea->Link(i);
        if (link == Subject || (typeChanged && link->Join() == &join))
            FWorkArea->InvalidateRegion(link->RepaintRegion(0));
    }
    return true;
}
