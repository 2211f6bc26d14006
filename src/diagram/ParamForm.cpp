// The parameter dialog and the conversion of a typed value by the parameter's type.
#include "diagram/ParamForm.h"

#include <QCheckBox>
#include <QDate>
#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/FieldTypes.h"
#include "toolkit/TextCompare.h"

namespace {

enum class TValueKind { Integer, Boolean, Float, Date, Time, DateTime, Text };

TValueKind KindOfType(int dataType) {
    switch (dataType) {
        case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint: return TValueKind::Integer;
        case ftBoolean: return TValueKind::Boolean;
        case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd: return TValueKind::Float;
        case ftDate: return TValueKind::Date;
        case ftTime: return TValueKind::Time;
        case ftDateTime: case ftTimeStamp: return TValueKind::DateTime;
        default: return TValueKind::Text;
    }
}

std::optional<TVariant> ReadInteger(std::string text) {
    if (!text.empty() && text.front() == '+') text.erase(0, 1);
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return TVariant(value);
}

std::optional<TVariant> ReadFloat(const QString& text) {
    bool ok = false;
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok) value = QLocale::system().toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return TVariant(value);
}

std::optional<TVariant> ReadBoolean(const std::string& text) {
    const std::string upper = UpperCase(text);
    if (upper == "TRUE" || upper == "1") return TVariant(true);
    if (upper == "FALSE" || upper == "0") return TVariant(false);
    return std::nullopt;
}

QDate ReadDate(const QString& text) {
    const QLocale system = QLocale::system();
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDate date = system.toDate(text, format);
        if (date.isValid()) return date;
    }
    return QDate::fromString(text, Qt::ISODate);
}

QTime ReadTime(const QString& text) {
    const QLocale system = QLocale::system();
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QTime time = system.toTime(text, format);
        if (time.isValid()) return time;
    }
    for (const char* format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm"}) {
        const QTime time = QTime::fromString(text, QString::fromLatin1(format));
        if (time.isValid()) return time;
    }
    return QTime();
}

QDateTime ReadDateTime(const QString& text) {
    const QLocale system = QLocale::system();
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDateTime value = system.toDateTime(text, format);
        if (value.isValid()) return value;
    }
    // The dialog's own form: the date, a blank (or T) and the time; a date alone is midnight.
    const int blank = text.indexOf(QRegularExpression(QStringLiteral("[ T]")));
    if (blank < 0) {
        const QDate date = ReadDate(text);
        return date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
    }
    const QDate date = ReadDate(text.left(blank));
    const QTime time = ReadTime(text.mid(blank + 1).trimmed());
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
}

TDateTime ToDateTime(const QDate& date, const QTime& time) {
    TDateTime result;
    if (date.isValid()) {
        result.Year = date.year();
        result.Month = date.month();
        result.Day = date.day();
    }
    if (time.isValid()) {
        result.Hour = time.hour();
        result.Minute = time.minute();
        result.Second = time.second();
        result.Millisecond = time.msec();
    }
    return result;
}

}  // namespace

std::optional<TVariant> ParamValueFromText(const std::string& rawText, int dataType) {
    const std::string text = Trim(rawText);
    const QString qtext = QString::fromStdString(text);
    switch (KindOfType(dataType)) {
        case TValueKind::Integer: return ReadInteger(text);
        case TValueKind::Boolean: return ReadBoolean(text);
        case TValueKind::Float: return ReadFloat(qtext);
        case TValueKind::Date: {
            const QDate date = ReadDate(qtext);
            if (!date.isValid()) return std::nullopt;
            return TVariant(ToDateTime(date, QTime()));
        }
        case TValueKind::Time: {
            const QTime time = ReadTime(qtext);
            if (!time.isValid()) return std::nullopt;
            return TVariant(ToDateTime(QDate(), time));
        }
        case TValueKind::DateTime: {
            const QDateTime value = ReadDateTime(qtext);
            if (!value.isValid()) return std::nullopt;
            return TVariant(ToDateTime(value.date(), value.time()));
        }
        case TValueKind::Text: break;
    }
    return TVariant(rawText);  // a string keeps its blanks
}

std::string ParamValueText(const TVariant& value) { return value.AsString(); }

// --- the dialog ---

TfmInputParam::TfmInputParam(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Input procedure parameter"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    paClient = new QFrame(this);
    paClient->setObjectName("paClient");
    paClient->setFrameStyle(QFrame::Panel | QFrame::Raised);
    chUnassigned = new QCheckBox(QStringLiteral("Unassigned"), paClient);
    chUnassigned->setChecked(true);
    raNull = new QRadioButton(QStringLiteral("Null"), paClient);
    raNull->setChecked(true);
    raValue = new QRadioButton(QStringLiteral("Value"), paClient);
    edValue = new QLineEdit(paClient);
    edValue->setMinimumWidth(165);

    // The choices sit below the check box, indented by 15 pixels; the edit right of "Value".
    auto* grid = new QGridLayout(paClient);
    grid->setContentsMargins(8, 8, 11, 8);
    grid->setHorizontalSpacing(15);
    grid->setColumnMinimumWidth(0, 0);
    grid->addWidget(chUnassigned, 0, 0, 1, 3);
    grid->addItem(new QSpacerItem(0, 0), 1, 0);
    grid->addWidget(raNull, 1, 1);
    grid->addWidget(raValue, 2, 1);
    grid->addWidget(edValue, 2, 2);
    grid->setColumnStretch(2, 1);

    paButtons = new QFrame(this);
    paButtons->setObjectName("paButtons");
    buOK = new QPushButton(QStringLiteral("OK"), paButtons);
    buOK->setDefault(true);
    buCancel = new QPushButton(QStringLiteral("Cancel"), paButtons);
    for (QPushButton* button : {buOK, buCancel}) button->setMinimumWidth(75);
    auto* buttons = new QHBoxLayout(paButtons);
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->addStretch(1);
    buttons->addWidget(buOK);
    buttons->addStretch(1);
    buttons->addWidget(buCancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(paClient, 1);
    layout->addWidget(paButtons);

    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{chUnassigned, raNull, raValue})
        connect(button, &QAbstractButton::clicked, this, [this] { chUnassignedClick(); });
    connect(buOK, &QPushButton::clicked, this, [this] {
        if (buOKClick()) accept();
    });
    connect(buCancel, &QPushButton::clicked, this, &QDialog::reject);

    UpdateControls();
    // A dialog border that does not resize: at least the designed 284 x 130, more when the
    // captions need it.
    setFixedSize(sizeHint().expandedTo(QSize(284, 130)));
}

void TfmInputParam::LoadItem(TQBListItem* line) {
    FItem = line;
    if (!line) return;
    const TVariant& value = line->FValue;
    if (value.IsUnassigned()) {
        chUnassigned->setChecked(true);
    } else if (value.IsNull()) {
        chUnassigned->setChecked(false);
        raNull->setChecked(true);
    } else {
        chUnassigned->setChecked(false);
        raValue->setChecked(true);
        edValue->setText(QString::fromStdString(ParamValueText(value)));
    }
    UpdateControls();
}

void TfmInputParam::UpdateControls() {
    const bool assigned = !chUnassigned->isChecked();
    raNull->setEnabled(assigned);
    raValue->setEnabled(assigned);
    edValue->setEnabled(assigned && raValue->isChecked());
}

bool TfmInputParam::buOKClick() {
    if (!FItem) return true;
    TVariant value;
    if (chUnassigned->isChecked()) {
        value = TVariant();
    } else if (raNull->isChecked()) {
        value = TVariant::MakeNull();
    } else {
        const std::string text = edValue->text().toStdString();
        const std::optional<TVariant> converted = ParamValueFromText(text, FItem->DataType());
        if (!converted) {
            ShowError(QString::fromStdString(FormatMessage(QBResource::SInvalidParamValue, {text, FItem->Name()})));
            edValue->setFocus();
            edValue->selectAll();
            return false;
        }
        value = *converted;
    }
    FItem->FValue = value;
    FItem->FIsNull = value.IsNull() || value.IsUnassigned();
    FItem->SetChecked(!value.IsUnassigned());  // a null value counts as a value
    return true;
}

void TfmInputParam::ShowError(const QString& text) {
    if (ErrorHook)
        ErrorHook(text);
    else
        QMessageBox::warning(this, windowTitle(), text);
}

bool EditProcParameter(TQBListItem* line, const TDialogRunner& runner) {
    TQBWorkArea* area = line ? line->Table()->WorkArea() : nullptr;
    TfmInputParam dialog(area);
    if (area) dialog.ErrorHook = [area](const QString& text) { area->ReportError(text); };
    dialog.LoadItem(line);
    return RunDialog(dialog, runner);
}
