#include "paneldefaults.h"

#include "bluepushbtn.h"
#include "custormcheckbox.h"
#include "custormcombox.h"
#include "custormspinbox.h"
#include "graylayerwidget.h"
#include "controls/shown.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>

namespace {

const char kDefaultValue[] = "DefaultValue";
const char kDefaultVisible[] = "DefaultVisibel";

// The first matching kind decides: the order matters where one class derives from another.
enum class ControlKind {
    TextEdit,
    Combox,
    CheckBox,
    BlueButton,
    LineEdit,
    SpinBox,
    GrayLayer,
    Stacked,
    Label,
    ToolButton,
    PushButton,
    Other,
};

ControlKind kindOf(QWidget *widget)
{
    if (qobject_cast<QTextEdit *>(widget))
        return ControlKind::TextEdit;
    if (qobject_cast<CustormCombox *>(widget))
        return ControlKind::Combox;
    if (qobject_cast<CustormCheckBox *>(widget))
        return ControlKind::CheckBox;
    if (qobject_cast<BluePushBtn *>(widget))
        return ControlKind::BlueButton;
    if (qobject_cast<QLineEdit *>(widget))
        return ControlKind::LineEdit;
    if (qobject_cast<CustormSpinBox *>(widget))
        return ControlKind::SpinBox;
    if (qobject_cast<GrayLayerWidget *>(widget))
        return ControlKind::GrayLayer;
    if (qobject_cast<QStackedWidget *>(widget))
        return ControlKind::Stacked;
    if (qobject_cast<QLabel *>(widget))
        return ControlKind::Label;
    if (qobject_cast<QToolButton *>(widget))
        return ControlKind::ToolButton;
    if (qobject_cast<QPushButton *>(widget))
        return ControlKind::PushButton;
    return ControlKind::Other;
}

// Spin boxes, date-time edits and combo boxes keep their editor, calendar pop-up and list as children.
// Those belong to the control, not to the panel: restoring a date-time edit's own line edit would type the
// recorded time back into it right after it was set to now.
bool isPartOfControl(const QWidget *widget, const QWidget *root)
{
    for (const QWidget *parent = widget->parentWidget(); parent && parent != root; parent = parent->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox *>(parent) || qobject_cast<const QComboBox *>(parent))
            return true;
    }
    return false;
}

QList<QWidget *> panelWidgets(QWidget *root, const QStringList &excludedClassNames)
{
    QList<QWidget *> widgets;
    const QList<QWidget *> descendants = root->findChildren<QWidget *>();
    for (QWidget *widget : descendants) {
        if (excludedClassNames.contains(QLatin1String(widget->metaObject()->className())))
            continue;
        if (isPartOfControl(widget, root))
            continue;
        widgets.append(widget);
    }
    return widgets;
}

QVariant currentValue(QWidget *widget, ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextEdit:
        return static_cast<QTextEdit *>(widget)->toPlainText();
    case ControlKind::Combox:
        return static_cast<CustormCombox *>(widget)->currentIndex();
    case ControlKind::CheckBox:
        return static_cast<CustormCheckBox *>(widget)->isChecked();
    case ControlKind::BlueButton:
        return static_cast<BluePushBtn *>(widget)->isChecked();
    case ControlKind::LineEdit:
        return static_cast<QLineEdit *>(widget)->text();
    case ControlKind::SpinBox:
        return static_cast<CustormSpinBox *>(widget)->value();
    case ControlKind::GrayLayer:
        return widget->isEnabled();
    case ControlKind::Stacked:
        return static_cast<QStackedWidget *>(widget)->currentIndex();
    case ControlKind::ToolButton:
    case ControlKind::PushButton:
        return static_cast<QAbstractButton *>(widget)->text();
    case ControlKind::Label:
    case ControlKind::Other:
        break;
    }
    return QVariant();
}

void applyValue(QWidget *widget, ControlKind kind, const QVariant &value)
{
    switch (kind) {
    case ControlKind::TextEdit:
        // The recorded text is plain; setText() would take text that looks like markup for rich text.
        static_cast<QTextEdit *>(widget)->setPlainText(value.toString());
        break;
    case ControlKind::Combox:
        static_cast<CustormCombox *>(widget)->setCurrentIndex(value.toInt());
        break;
    case ControlKind::CheckBox:
        static_cast<CustormCheckBox *>(widget)->setChecked(value.toBool());
        break;
    case ControlKind::BlueButton:
        static_cast<BluePushBtn *>(widget)->setChecked(value.toBool());
        break;
    case ControlKind::LineEdit:
        static_cast<QLineEdit *>(widget)->setText(value.toString());
        break;
    case ControlKind::SpinBox:
        static_cast<CustormSpinBox *>(widget)->setValue(value.toInt());
        break;
    case ControlKind::GrayLayer:
        widget->setEnabled(value.toBool());
        break;
    case ControlKind::Stacked:
        static_cast<QStackedWidget *>(widget)->setCurrentIndex(value.toInt());
        break;
    case ControlKind::ToolButton:
    case ControlKind::PushButton:
        static_cast<QAbstractButton *>(widget)->setText(value.toString());
        break;
    case ControlKind::Label:
    case ControlKind::Other:
        break;
    }
}

} // namespace

void setDefaultVisible(QWidget *widget, bool visible)
{
    widget->setProperty(kDefaultVisible, visible);
}

void recordDefaults(QWidget *root, const QStringList &excludedClassNames)
{
    const QList<QWidget *> widgets = panelWidgets(root, excludedClassNames);
    for (QWidget *widget : widgets) {
        const QVariant value = currentValue(widget, kindOf(widget));
        if (value.isValid())
            widget->setProperty(kDefaultValue, value);
    }
}

void restoreDefaults(QWidget *root, const QStringList &excludedClassNames)
{
    const QList<QWidget *> widgets = panelWidgets(root, excludedClassNames);
    for (QWidget *widget : widgets) {
        const QVariant visible = widget->property(kDefaultVisible);
        if (visible.isValid())
            setShown(widget, visible.toBool());
        if (auto *dateTimeEdit = qobject_cast<QDateTimeEdit *>(widget))
            dateTimeEdit->setDateTime(QDateTime::currentDateTime());
        applyValue(widget, kindOf(widget), widget->property(kDefaultValue));
    }
}
