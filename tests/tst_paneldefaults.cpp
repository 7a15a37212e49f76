#include "controls/bluepushbtn.h"
#include "controls/custormcheckbox.h"
#include "controls/custormcombox.h"
#include "controls/custormspinbox.h"
#include "controls/graylayerwidget.h"
#include "controls/icongraytoolbtn.h"
#include "controls/paneldefaults.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A settings page with one control of every class the reset knows, plus the plain Qt controls it leaves
// alone, each in its recorded state.
class Panel : public QWidget
{
public:
    Panel()
    {
        auto *layout = new QVBoxLayout(this);
        textEdit->setPlainText(QStringLiteral("文本"));
        combo->addItems({QStringLiteral("数字"), QStringLiteral("字母"), QStringLiteral("随机字符")});
        combo->setCurrentIndex(1);
        checkBox->setChecked(true);
        blue->setCheckable(true);
        blue->setChecked(true);
        lineEdit->setText(QStringLiteral("默认名称"));
        spin->setRange(0, 100);
        spin->setValue(7);
        gray->setEnabled(false);
        stacked->addWidget(new QWidget);
        stacked->addWidget(new QWidget);
        stacked->setCurrentIndex(1);
        label->setText(QStringLiteral("标签"));
        folderButton->setText(QStringLiteral("/home/user/Desktop"));
        pushButton->setText(QStringLiteral("更换"));
        plainCombo->addItems({QStringLiteral("a"), QStringLiteral("b")});
        plainSpin->setValue(3);
        plainCheck->setChecked(false);
        for (QWidget *widget : std::initializer_list<QWidget *>{
                 textEdit, combo, checkBox, blue, lineEdit, spin, gray, stacked, label, folderButton, pushButton,
                 plainCombo, plainSpin, plainCheck, dateTime})
            layout->addWidget(widget);
    }

    QTextEdit *textEdit = new QTextEdit;
    CustormCombox *combo = new CustormCombox;
    CustormCheckBox *checkBox = new CustormCheckBox;
    BluePushBtn *blue = new BluePushBtn;
    QLineEdit *lineEdit = new QLineEdit;
    CustormSpinBox *spin = new CustormSpinBox;
    GrayLayerWidget *gray = new GrayLayerWidget;
    QStackedWidget *stacked = new QStackedWidget;
    QLabel *label = new QLabel;
    IconGrayToolBtn *folderButton = new IconGrayToolBtn;
    QPushButton *pushButton = new QPushButton;
    QComboBox *plainCombo = new QComboBox;
    QSpinBox *plainSpin = new QSpinBox;
    QCheckBox *plainCheck = new QCheckBox;
    QDateTimeEdit *dateTime = new QDateTimeEdit(QDateTime(QDate(2000, 1, 1), QTime(16, 0)));

    // What a user does after the recording.
    void changeEverything()
    {
        textEdit->setPlainText(QStringLiteral("用户输入"));
        combo->setCurrentIndex(2);
        checkBox->setChecked(false);
        blue->setChecked(false);
        lineEdit->setText(QStringLiteral("新名称"));
        spin->setValue(42);
        gray->setEnabled(true);
        stacked->setCurrentIndex(0);
        label->setText(QStringLiteral("改过的标签"));
        folderButton->setText(QStringLiteral("/mnt/other"));
        pushButton->setText(QStringLiteral("已更换"));
        plainCombo->setCurrentIndex(1);
        plainSpin->setValue(9);
        plainCheck->setChecked(true);
    }
};

} // namespace

class TestPanelDefaults : public QObject
{
    Q_OBJECT
private slots:
    void restoresEveryHandledClass();
    void recordedValues();
    void leavesPlainControlsAlone();
    void changeSignalsOnlyWhenChanged();
    void checkBoxRestoreEmitsNoChecked();
    void dateTimeEditGetsNow();
    void controlCreatedAfterRecording();
    void exclusiveButtonsInAnyOrder_data();
    void exclusiveButtonsInAnyOrder();
    void defaultVisible_data();
    void defaultVisible();
    void exclusionList();
    void markupStaysPlainText();
};

void TestPanelDefaults::restoresEveryHandledClass()
{
    Panel panel;
    recordDefaults(&panel);
    panel.changeEverything();
    restoreDefaults(&panel);

    QCOMPARE(panel.textEdit->toPlainText(), QStringLiteral("文本"));
    QCOMPARE(panel.combo->currentIndex(), 1);
    QCOMPARE(panel.checkBox->isChecked(), true);
    QCOMPARE(panel.blue->isChecked(), true);
    QCOMPARE(panel.lineEdit->text(), QStringLiteral("默认名称"));
    QCOMPARE(panel.spin->value(), 7);
    QCOMPARE(panel.gray->isEnabled(), false);
    QCOMPARE(panel.stacked->currentIndex(), 1);
    // A folder button returns to the path it showed when recorded, whatever was chosen since.
    QCOMPARE(panel.folderButton->text(), QStringLiteral("/home/user/Desktop"));
    QCOMPARE(panel.pushButton->text(), QStringLiteral("更换"));
    QCOMPARE(panel.label->text(), QStringLiteral("改过的标签")); // labels carry no value
}

void TestPanelDefaults::recordedValues()
{
    Panel panel;
    recordDefaults(&panel);
    QCOMPARE(panel.textEdit->property("DefaultValue"), QVariant(QStringLiteral("文本")));
    QCOMPARE(panel.combo->property("DefaultValue"), QVariant(1));
    QCOMPARE(panel.checkBox->property("DefaultValue"), QVariant(true));
    QCOMPARE(panel.blue->property("DefaultValue"), QVariant(true));
    QCOMPARE(panel.spin->property("DefaultValue"), QVariant(7));
    QCOMPARE(panel.gray->property("DefaultValue"), QVariant(false));
    QCOMPARE(panel.stacked->property("DefaultValue"), QVariant(1));
    QVERIFY(!panel.label->property("DefaultValue").isValid());
    QVERIFY(!panel.plainCombo->property("DefaultValue").isValid());
    QVERIFY(!panel.plainSpin->property("DefaultValue").isValid());
    QVERIFY(!panel.plainCheck->property("DefaultValue").isValid());
    QVERIFY(!panel.dateTime->property("DefaultValue").isValid());
    // Recording again overwrites.
    panel.spin->setValue(11);
    recordDefaults(&panel);
    QCOMPARE(panel.spin->property("DefaultValue"), QVariant(11));
}

void TestPanelDefaults::leavesPlainControlsAlone()
{
    Panel panel;
    recordDefaults(&panel);
    panel.changeEverything();
    restoreDefaults(&panel);
    QCOMPARE(panel.plainCombo->currentIndex(), 1);
    QCOMPARE(panel.plainSpin->value(), 9);
    QCOMPARE(panel.plainCheck->isChecked(), true);
}

void TestPanelDefaults::changeSignalsOnlyWhenChanged()
{
    Panel panel;
    recordDefaults(&panel);
    QSignalSpy spinChanged(panel.spin, qOverload<int>(&QSpinBox::valueChanged));
    QSignalSpy comboChanged(panel.combo, qOverload<int>(&QComboBox::currentIndexChanged));
    QSignalSpy textChanged(panel.lineEdit, &QLineEdit::textChanged);
    QSignalSpy pageChanged(panel.stacked, &QStackedWidget::currentChanged);

    restoreDefaults(&panel); // nothing changed
    QCOMPARE(spinChanged.count(), 0);
    QCOMPARE(comboChanged.count(), 0);
    QCOMPARE(textChanged.count(), 0);
    QCOMPARE(pageChanged.count(), 0);

    panel.changeEverything();
    spinChanged.clear();
    comboChanged.clear();
    textChanged.clear();
    pageChanged.clear();
    QSignalSpy blueClicked(panel.blue, &QAbstractButton::clicked);
    restoreDefaults(&panel);
    QCOMPARE(spinChanged.count(), 1);
    QCOMPARE(spinChanged.first().at(0).toInt(), 7);
    QCOMPARE(comboChanged.count(), 1);
    QCOMPARE(textChanged.count(), 1);
    QCOMPARE(pageChanged.count(), 1);
    QCOMPARE(blueClicked.count(), 0);
}

void TestPanelDefaults::checkBoxRestoreEmitsNoChecked()
{
    Panel panel;
    recordDefaults(&panel);
    panel.checkBox->setChecked(false);
    QSignalSpy checked(panel.checkBox, &CustormCheckBox::Checked);
    restoreDefaults(&panel);
    QVERIFY(panel.checkBox->isChecked());
    QCOMPARE(checked.count(), 0);
}

void TestPanelDefaults::dateTimeEditGetsNow()
{
    Panel panel;
    panel.dateTime->setDisplayFormat(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    panel.dateTime->setCalendarPopup(true);
    recordDefaults(&panel);
    panel.dateTime->setDateTime(QDateTime(QDate(2011, 5, 6), QTime(7, 8, 9)));

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    restoreDefaults(&panel);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    const QDateTime shown = panel.dateTime->dateTime();
    QVERIFY2(shown >= before && shown <= after, qPrintable(shown.toString(Qt::ISODate)));
    // The editor inside shows the same time: nothing typed the recorded one back.
    auto *editor = panel.dateTime->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), shown.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

void TestPanelDefaults::controlCreatedAfterRecording()
{
    Panel panel;
    recordDefaults(&panel);
    auto *lateEdit = new QLineEdit(QStringLiteral("后来的"), &panel);
    auto *lateSpin = new CustormSpinBox(&panel);
    lateSpin->setValue(5);
    auto *lateBlue = new BluePushBtn(&panel);
    lateBlue->setCheckable(true);
    lateBlue->setChecked(true);
    restoreDefaults(&panel);
    QCOMPARE(lateEdit->text(), QString());
    QCOMPARE(lateSpin->value(), 0);
    QCOMPARE(lateBlue->isChecked(), false);
}

void TestPanelDefaults::exclusiveButtonsInAnyOrder_data()
{
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("chosen");
    QTest::newRow("default first, user chose later") << 0 << 2;
    QTest::newRow("default last, user chose earlier") << 2 << 0;
    QTest::newRow("default in the middle") << 1 << 2;
}

void TestPanelDefaults::exclusiveButtonsInAnyOrder()
{
    QFETCH(int, recorded);
    QFETCH(int, chosen);
    QWidget panel;
    QButtonGroup group;
    QList<BluePushBtn *> buttons;
    for (int i = 0; i < 3; ++i) {
        auto *button = new BluePushBtn(&panel);
        button->setCheckable(true);
        group.addButton(button);
        buttons.append(button);
    }
    buttons.at(recorded)->setChecked(true);
    recordDefaults(&panel);
    buttons.at(chosen)->setChecked(true);
    restoreDefaults(&panel);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(buttons.at(i)->isChecked(), i == recorded);
}

void TestPanelDefaults::defaultVisible_data()
{
    QTest::addColumn<bool>("visible");
    QTest::newRow("hidden part shown by the user") << false;
    QTest::newRow("shown part hidden by the user") << true;
}

void TestPanelDefaults::defaultVisible()
{
    QFETCH(bool, visible);
    QWidget panel;
    auto *row = new QWidget(&panel);
    auto *rowLabel = new QLabel(QStringLiteral("第"), &panel);
    row->setVisible(visible);
    rowLabel->setVisible(visible);
    setDefaultVisible(row, visible);
    setDefaultVisible(rowLabel, visible);
    QCOMPARE(row->property("DefaultVisibel"), QVariant(visible));
    panel.show();
    recordDefaults(&panel);

    row->setVisible(!visible);
    rowLabel->setVisible(!visible);
    restoreDefaults(&panel);
    QCOMPARE(row->isVisible(), visible);
    QCOMPARE(rowLabel->isVisible(), visible);
}

void TestPanelDefaults::exclusionList()
{
    Panel panel;
    panel.show();
    setDefaultVisible(panel.label, true);
    recordDefaults(&panel, {QStringLiteral("QLabel")});
    panel.changeEverything();
    panel.label->hide();
    restoreDefaults(&panel, {QStringLiteral("QLabel"), QStringLiteral("CustormSpinBox")});

    QVERIFY(panel.label->isHidden()); // excluded labels keep their visibility
    QCOMPARE(panel.spin->value(), 42); // excluded class, by its exact name
    QCOMPARE(panel.lineEdit->text(), QStringLiteral("默认名称"));
    QCOMPARE(panel.combo->currentIndex(), 1);
}

void TestPanelDefaults::markupStaysPlainText()
{
    QWidget panel;
    auto *edit = new QTextEdit(&panel);
    edit->setPlainText(QStringLiteral("<b>报告</b> & 1<2"));
    recordDefaults(&panel);
    edit->setPlainText(QStringLiteral("x"));
    restoreDefaults(&panel);
    QCOMPARE(edit->toPlainText(), QStringLiteral("<b>报告</b> & 1<2"));
}

QTEST_MAIN(TestPanelDefaults)
#include "tst_paneldefaults.moc"
