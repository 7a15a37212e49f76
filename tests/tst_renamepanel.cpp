#include "testutil_engine.h"
#include "testutil_filelist.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/custormcheckbox.h"
#include "rename/ccconverter.h"
#include "rename/import.h"
#include "rename/renamepropertywidget.h"
#include "rename/renamesettings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QThreadPool>
#include <QtTest>

#include <xlsxwriter.h>

#include <functional>

using namespace EngineTest;

namespace {

const QStringList watchedChannels = {
    Channel::FileCustomRename,   Channel::FolderCustomRename, Channel::FileInsertRename,
    Channel::FolderInsertRename, Channel::FileReplaceRename,  Channel::FolderReplaceRename,
    Channel::FileDeleteRename,   Channel::FolderDeleteRename, Channel::ImportExcelRename,
    Channel::StartChangeName,
};

// Records every notification of the panel's channels, in order.
class HubRecorder : public QObject
{
    Q_OBJECT
public:
    struct Note
    {
        QString nameSpace;
        QVariant value;
    };

    HubRecorder()
    {
        auto *hub = CNvGlobalObserver::instance();
        for (const QString &channel : watchedChannels)
            hub->addObserver(channel, Channel::RenameValueUpdate, this, OBSERVER_SLOT);
        hub->addObserver(Channel::MessageErrorTip, Channel::NoName, this, OBSERVER_SLOT);
    }
    ~HubRecorder() override
    {
        auto *hub = CNvGlobalObserver::instance();
        for (const QString &channel : watchedChannels)
            hub->removeObserver(channel, Channel::RenameValueUpdate, this);
        hub->removeObserver(Channel::MessageErrorTip, Channel::NoName, this);
    }

    QList<Note> notes;

    QStringList nameSpaces() const
    {
        QStringList list;
        for (const Note &note : notes)
            list.append(note.nameSpace);
        return list;
    }
    QList<Note> of(const QString &nameSpace) const
    {
        QList<Note> list;
        for (const Note &note : notes) {
            if (note.nameSpace == nameSpace)
                list.append(note);
        }
        return list;
    }

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &, const QVariant &value)
    {
        notes.append({valueName, value});
    }
};

QWidget *pageOf(RenamePropertyWidget &panel, const QString &pageName)
{
    return panel.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))
        ->findChild<QWidget *>(pageName, Qt::FindDirectChildrenOnly);
}

QAbstractButton *modeButton(RenamePropertyWidget &panel, const QString &name)
{
    return panel.findChild<QWidget *>(QStringLiteral("btnGroupWidget"))->findChild<QAbstractButton *>(name);
}

template <typename T>
T *control(QWidget *page, const QString &name)
{
    T *widget = page->findChild<T *>(name);
    if (!widget)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(page->objectName()));
    return widget;
}

void click(QWidget *page, const QString &buttonName)
{
    auto *button = control<QAbstractButton>(page, buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void flipSwitch(QWidget *page, const QString &name)
{
    control<CustormCheckBox>(page, name)->findChild<QCheckBox *>()->click();
}

void type(QWidget *page, const QString &editName, const QString &text)
{
    FileListTest::typeText(control<QLineEdit>(page, editName), text);
}

void setSpin(QWidget *page, const QString &name, int value)
{
    control<QSpinBox>(page, name)->setValue(value);
}

void choose(QWidget *page, const QString &comboName, int index)
{
    control<QComboBox>(page, comboName)->setCurrentIndex(index);
}

QString keyOf(const QString &page, bool folder)
{
    static const QHash<QString, QPair<QString, QString>> keys = {
        {"custormPage", {Channel::FileCustomRename, Channel::FolderCustomRename}},
        {"insertPage", {Channel::FileInsertRename, Channel::FolderInsertRename}},
        {"replacePage", {Channel::FileReplaceRename, Channel::FolderReplaceRename}},
        {"deletePage", {Channel::FileDeleteRename, Channel::FolderDeleteRename}},
    };
    const auto pair = keys.value(page);
    return folder ? pair.second : pair.first;
}

// One user action on a page and what it must leave in the page's record.
struct ControlCase
{
    const char *tag;
    const char *modeButton;
    const char *page;
    bool extension; // acts in the extension section, which folder mode hides
    std::function<void(QWidget *page)> act;
    std::function<bool(const QString &key)> check;
};

const QVector<ControlCase> &controlCases()
{
    static const QVector<ControlCase> cases = {
        {"custom name", "custormBtn", "custormPage", false, [](QWidget *p) { type(p, "fileNameEdit", "报告"); },
         [](const QString &k) { return customSettings(k)->text == "报告"; }},
        {"numbering on", "custormBtn", "custormPage", false, [](QWidget *p) { flipSwitch(p, "numberSetCheck"); },
         [](const QString &k) { return customSettings(k)->numberingEnabled; }},
        {"number only", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             flipSwitch(p, "useNumberAsNameCheck");
         },
         [](const QString &k) { return customSettings(k)->numberOnly; }},
        {"number at the end", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             click(p, "lastBtn");
         },
         [](const QString &k) { return customSettings(k)->numberPosition == 1; }},
        {"number after characters", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             click(p, "custormPosBtn");
             setSpin(p, "numberBehindCountSpinBox", 3);
         },
         [](const QString &k) {
             return customSettings(k)->numberPosition == 2 && customSettings(k)->numberAfter == 3;
         }},
        {"digits", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             setSpin(p, "startNumberSpinBox", -5);
             setSpin(p, "incrementNumberSpinBox", 2);
             setSpin(p, "numberCountSpinBox", 3);
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->numberType == 0 && s->startNumber == -5 && s->numberIncrement == 2 && s->numberDigits == 3;
         }},
        {"letters", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             click(p, "charBtn");
             setSpin(p, "startCharSpinBox", 35);
             setSpin(p, "incrementCharSpinBox", 4);
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->numberType == 1 && s->startLetter == 26 && s->letterIncrement == 4;
         }},
        {"random", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             click(p, "randomBtn");
             choose(p, "randomRuleComboBox", 2);
             setSpin(p, "charCountSpinBox", 6);
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->numberType == 2 && s->randomRule == 2 && s->randomLength == 6;
         }},
        {"time", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             flipSwitch(p, "numberSetCheck");
             click(p, "timeBtn");
             choose(p, "timeTypeComboBox", 2);
             choose(p, "timeStyleComboBox", 3);
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->numberType == 3 && s->timeSource == 2 && s->timeStyle == 3;
         }},
        {"no conflict resolution", "custormBtn", "custormPage", false,
         [](QWidget *p) { flipSwitch(p, "autoNameErrorCheck"); },
         [](const QString &k) { return !customSettings(k)->autoResolve; }},
        {"case, script and pinyin", "custormBtn", "custormPage", false,
         [](QWidget *p) {
             choose(p, "CaseSensitivityComboBox", 5);
             choose(p, "simplifiedTraditionalComboBox", 2);
             choose(p, "ChineseToPinyingComboBox", 1);
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->caseMode == 5 && s->chineseScript == 2 && s->pinyin == 1;
         }},
        {"new extension", "custormBtn", "custormPage", true,
         [](QWidget *p) {
             flipSwitch(p, "suffixCheckBox");
             type(p, "newSuffixEdit", "md");
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->extensionEnabled && s->extensionMode == 0 && s->newExtension == "md";
         }},
        {"extension replaced", "custormBtn", "custormPage", true,
         [](QWidget *p) {
             flipSwitch(p, "suffixCheckBox");
             click(p, "replaceBtn");
             type(p, "findContentEdit", "tx");
             type(p, "replaceContentEdit", "m");
         },
         [](const QString &k) {
             const CustomSettings *s = customSettings(k);
             return s->extensionMode == 1 && s->extensionFind == "tx" && s->extensionReplace == "m";
         }},
        {"insert text", "insertBtn", "insertPage", false, [](QWidget *p) { type(p, "fileNameEdit", "X"); },
         [](const QString &k) { return customSettings(k)->text == "X" && customSettings(k)->insertPosition == 0; }},
        {"insert at the end", "insertBtn", "insertPage", false, [](QWidget *p) { click(p, "insertLastBtn"); },
         [](const QString &k) { return customSettings(k)->insertPosition == 1; }},
        {"insert after characters", "insertBtn", "insertPage", false,
         [](QWidget *p) {
             click(p, "insertCustormPosBtn");
             setSpin(p, "insertNumberBehindCountSpinBox", 4);
         },
         [](const QString &k) {
             return customSettings(k)->insertPosition == 2 && customSettings(k)->insertAfter == 4;
         }},
        {"insert with pinyin", "insertBtn", "insertPage", false,
         [](QWidget *p) { choose(p, "ChineseToPinyingComboBox", 1); },
         [](const QString &k) { return customSettings(k)->pinyin == 1; }},
        {"replace text", "replaceBtn", "replacePage", false,
         [](QWidget *p) {
             type(p, "replaceFindContentEdit", "a");
             type(p, "replaceReplaceContentEdit", "b");
             type(p, "splitEdit", "_");
         },
         [](const QString &k) {
             const ReplaceSettings *s = replaceSettings(k);
             return s->find == "a" && s->replaceWith == "b" && s->delimiter == "_";
         }},
        {"replace by pattern", "replaceBtn", "replacePage", false,
         [](QWidget *p) {
             flipSwitch(p, "regexCheckBox");
             type(p, "replaceFindContentEdit", "(\\d+)");
         },
         [](const QString &k) {
             const ReplaceSettings *s = replaceSettings(k);
             return s->useRegex && s->regex.isValid() && s->regex.pattern() == "(\\d+)";
         }},
        {"replace without resolution", "replaceBtn", "replacePage", false,
         [](QWidget *p) { flipSwitch(p, "autoNameErrorCheck"); },
         [](const QString &k) { return !replaceSettings(k)->autoResolve; }},
        {"replace case", "replaceBtn", "replacePage", false,
         [](QWidget *p) { choose(p, "CaseSensitivityComboBox", 3); },
         [](const QString &k) { return replaceSettings(k)->caseMode == 3; }},
        {"replace extension", "replaceBtn", "replacePage", true,
         [](QWidget *p) {
             flipSwitch(p, "suffixCheckBox");
             type(p, "newSuffixEdit", "bak");
         },
         [](const QString &k) {
             return replaceSettings(k)->extensionEnabled && replaceSettings(k)->newExtension == "bak";
         }},
        {"delete text", "deleteBtn", "deletePage", false,
         [](QWidget *p) { FileListTest::typeText(control<QTextEdit>(p, "textEdit"), "终稿"); },
         [](const QString &k) { return deleteSettings(k)->deleteText == "终稿"; }},
        {"delete by position", "deleteBtn", "deletePage", false,
         [](QWidget *p) {
             click(p, "assignPosBtn");
             choose(p, "deletePosComboBox", 1);
             setSpin(p, "deletePosSpinBox", 1);
             setSpin(p, "deleteCountSpinBox", 2);
         },
         [](const QString &k) {
             const DeleteSettings *s = deleteSettings(k);
             return s->deleteMode == 1 && s->deleteFromEnd == 1 && s->deleteStart == 1 && s->deleteCount == 2;
         }},
        {"delete script", "deleteBtn", "deletePage", false,
         [](QWidget *p) { choose(p, "simplifiedTraditionalComboBox", 1); },
         [](const QString &k) { return deleteSettings(k)->chineseScript == 1; }},
        {"delete extension replaced", "deleteBtn", "deletePage", true,
         [](QWidget *p) {
             flipSwitch(p, "suffixCheckBox");
             click(p, "replaceBtn");
             type(p, "findContentEdit", "jpeg");
             type(p, "replaceContentEdit", "jpg");
         },
         [](const QString &k) {
             const DeleteSettings *s = deleteSettings(k);
             return s->extensionMode == 1 && s->extensionFind == "jpeg" && s->extensionReplace == "jpg";
         }},
    };
    return cases;
}

void showPanel(RenamePropertyWidget &panel)
{
    panel.resize(380, 900);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
}

// Runs out every read started so far and delivers what it posted.
void drainReads()
{
    QThreadPool::globalInstance()->waitForDone();
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
}

} // namespace

class TestRenamePanel : public QObject
{
    Q_OBJECT
private slots:
    void controlsWriteTheirRecordAndKey_data();
    void controlsWriteTheirRecordAndKey();
    void sectionsFollowTheirControls();
    void folderModeHidesExtensionSections();
    void modeButtonsShowTheirPages();
    void switchingModesKeepsSettings();
    void startButtonFollowsList();
    void startSendsModeAndRefreshesRandom_data();
    void startSendsModeAndRefreshesRandom();
    void startLetterShowsLetters_data();
    void startLetterShowsLetters();
    void resetRestoresStartValues_data();
    void resetRestoresStartValues();
    void resetBeforeDefaultsAreRecordedKeepsControls();
    void unavailableScriptDirectionIsExplained();

    void importSendsNamesInRowOrder();
    void importReportsNonWorkbook();
    void forgetRestoresPageAndSendsNoNames();
    void replacedWorkbookDropsEarlierRead();
    void cancelledChoiceChangesNothing();
    void resetForgetsWorkbook();
};

void TestRenamePanel::controlsWriteTheirRecordAndKey_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("folder");
    const QVector<ControlCase> &cases = controlCases();
    for (int i = 0; i < cases.size(); ++i) {
        QTest::addRow("file: %s", cases.at(i).tag) << i << false;
        if (!cases.at(i).extension)
            QTest::addRow("folder: %s", cases.at(i).tag) << i << true;
    }
}

void TestRenamePanel::controlsWriteTheirRecordAndKey()
{
    QFETCH(int, index);
    QFETCH(bool, folder);
    const ControlCase &c = controlCases().at(index);
    RenamePropertyWidget panel;
    panel.setFolderMode(folder);
    showPanel(panel);
    const QString key = keyOf(c.page, folder);
    QVERIFY(!c.check(key));

    HubRecorder recorder;
    QTest::mouseClick(modeButton(panel, c.modeButton), Qt::LeftButton);
    recorder.notes.clear();
    c.act(pageOf(panel, c.page));

    QVERIFY(c.check(key));
    QVERIFY(!recorder.notes.isEmpty());
    for (const HubRecorder::Note &note : recorder.notes) {
        QCOMPARE(note.nameSpace, key);
        QVERIFY(!note.value.isValid());
    }
    QCOMPARE(pageOf(panel, c.page)->property("ValueName").toString(), key);
}

void TestRenamePanel::sectionsFollowTheirControls()
{
    RenamePropertyWidget panel;
    showPanel(panel);
    QWidget *custom = pageOf(panel, "custormPage");
    auto *numbering = control<QWidget>(custom, "numberSettingBackgrounWidget");
    auto *suffix = control<QWidget>(custom, "suffixTypeBackgroundWidget");
    auto *types = control<QStackedWidget>(custom, "numberTypeStackedWidget");
    QVERIFY(!numbering->isEnabled());
    QVERIFY(!suffix->isEnabled());

    flipSwitch(custom, "numberSetCheck");
    flipSwitch(custom, "suffixCheckBox");
    QVERIFY(numbering->isEnabled());
    QVERIFY(suffix->isEnabled());

    QVERIFY(!control<QWidget>(custom, "custormPosWidget")->isVisible());
    click(custom, "custormPosBtn");
    QVERIFY(control<QWidget>(custom, "custormPosWidget")->isVisible());
    click(custom, "firstBtn");
    QVERIFY(!control<QWidget>(custom, "custormPosWidget")->isVisible());

    const QStringList typePages = {"numberPage", "charPage", "randomPage", "timePage"};
    const QStringList typeButtons = {"numbderBtn", "charBtn", "randomBtn", "timeBtn"};
    for (int i = typeButtons.size() - 1; i >= 0; --i) {
        click(custom, typeButtons.at(i));
        QCOMPARE(types->currentWidget()->objectName(), typePages.at(i));
    }
    click(custom, "replaceBtn");
    QCOMPARE(control<QStackedWidget>(custom, "suffixTypeStackedWidget")->currentWidget()->objectName(),
             QString("replacePage"));

    flipSwitch(custom, "numberSetCheck");
    QVERIFY(!numbering->isEnabled());

    QWidget *remove = pageOf(panel, "deletePage");
    click(remove, "assignPosBtn");
    QCOMPARE(control<QStackedWidget>(remove, "deleteWayStackedWidget")->currentWidget()->objectName(),
             QString("assignPosPage"));
    auto *direction = control<QLabel>(remove, "deletePosLabel");
    QCOMPARE(direction->text(), QString("个字符向右删除"));
    choose(remove, "deletePosComboBox", 1);
    QCOMPARE(direction->text(), QString("个字符向左删除"));
}

void TestRenamePanel::folderModeHidesExtensionSections()
{
    for (bool folder : {false, true}) {
        RenamePropertyWidget panel;
        panel.setFolderMode(folder);
        QCOMPARE(panel.folderMode(), folder);
        for (const char *name : {"custormPage", "insertPage", "replacePage", "deletePage"}) {
            QWidget *page = pageOf(panel, name);
            QCOMPARE(control<QWidget>(page, "suffixWidget")->isVisibleTo(page), !folder);
        }
    }
}

void TestRenamePanel::modeButtonsShowTheirPages()
{
    RenamePropertyWidget panel;
    showPanel(panel);
    auto *stack = panel.findChild<QStackedWidget *>("stackedWidget");
    QCOMPARE(stack->currentWidget()->objectName(), QString("custormPage"));
    QVERIFY(modeButton(panel, "custormBtn")->isChecked());

    const QStringList buttons = {"insertBtn", "replaceBtn", "deleteBtn", "importBtn", "custormBtn"};
    const QStringList pages = {"insertPage", "replacePage", "deletePage", "importPage", "custormPage"};
    for (int i = 0; i < buttons.size(); ++i) {
        QTest::mouseClick(modeButton(panel, buttons.at(i)), Qt::LeftButton);
        QCOMPARE(stack->currentWidget()->objectName(), pages.at(i));
    }

    QTest::mouseClick(modeButton(panel, "insertBtn"), Qt::LeftButton);
    QVERIFY(control<QWidget>(pageOf(panel, "insertPage"), "insertPosWidget")->isVisible());
    QVERIFY(!control<QWidget>(pageOf(panel, "insertPage"), "insertCustormPosWidget")->isVisible());
    QTest::mouseClick(modeButton(panel, "custormBtn"), Qt::LeftButton);
    QVERIFY(!control<QWidget>(pageOf(panel, "custormPage"), "insertPosWidget")->isVisible());
    QCOMPARE(control<QAbstractButton>(pageOf(panel, "custormPage"), "custormTypeLabel")->text(),
             QString("文件名设置"));
    QCOMPARE(control<QAbstractButton>(pageOf(panel, "insertPage"), "custormTypeLabel")->text(),
             QString("插入设置"));
}

void TestRenamePanel::switchingModesKeepsSettings()
{
    RenamePropertyWidget panel;
    showPanel(panel);
    HubRecorder recorder;
    type(pageOf(panel, "custormPage"), "fileNameEdit", "new");
    QTest::mouseClick(modeButton(panel, "replaceBtn"), Qt::LeftButton);
    type(pageOf(panel, "replacePage"), "replaceFindContentEdit", "old");
    QTest::mouseClick(modeButton(panel, "insertBtn"), Qt::LeftButton);
    type(pageOf(panel, "insertPage"), "fileNameEdit", "ins");
    // Each switch announces the page shown, so the list proposes what it gives.
    recorder.notes.clear();
    QTest::mouseClick(modeButton(panel, "custormBtn"), Qt::LeftButton);
    QTest::mouseClick(modeButton(panel, "replaceBtn"), Qt::LeftButton);
    QTest::mouseClick(modeButton(panel, "importBtn"), Qt::LeftButton);
    QCOMPARE(recorder.nameSpaces(),
             QStringList({Channel::FileCustomRename, Channel::FileReplaceRename, Channel::ImportExcelRename}));
    // No workbook: no names.
    QCOMPARE(recorder.notes.last().value.toMap().value("names").toStringList(), QStringList());

    QCOMPARE(control<QLineEdit>(pageOf(panel, "custormPage"), "fileNameEdit")->text(), QString("new"));
    QCOMPARE(control<QLineEdit>(pageOf(panel, "insertPage"), "fileNameEdit")->text(), QString("ins"));
    QCOMPARE(customSettings(Channel::FileCustomRename)->text, QString("new"));
    QCOMPARE(customSettings(Channel::FileInsertRename)->text, QString("ins"));
    QCOMPARE(replaceSettings(Channel::FileReplaceRename)->find, QString("old"));
}

void TestRenamePanel::startButtonFollowsList()
{
    RenamePropertyWidget panel;
    showPanel(panel);
    auto *start = panel.findChild<QAbstractButton *>("setBtn");
    QVERIFY(!start->isEnabled());
    HubRecorder recorder;
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(recorder.notes.isEmpty());
    panel.setStartEnabled(true);
    QVERIFY(start->isEnabled());
    panel.setStartEnabled(false);
    QVERIFY(!start->isEnabled());
}

void TestRenamePanel::startSendsModeAndRefreshesRandom_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("modeButton");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("random");
    QTest::addColumn<bool>("resent");
    QTest::newRow("file, custom, digits") << false << "custormBtn" << "custormPage" << false << false;
    QTest::newRow("file, custom, random") << false << "custormBtn" << "custormPage" << true << true;
    QTest::newRow("folder, custom, random") << true << "custormBtn" << "custormPage" << true << true;
    QTest::newRow("folder, insert, random") << true << "insertBtn" << "insertPage" << true << true;
    QTest::newRow("file, insert, digits") << false << "insertBtn" << "insertPage" << false << false;
    QTest::newRow("file, replace") << false << "replaceBtn" << "replacePage" << false << false;
    QTest::newRow("folder, delete") << true << "deleteBtn" << "deletePage" << false << false;
    QTest::newRow("file, import") << false << "importBtn" << "importPage" << false << false;
}

void TestRenamePanel::startSendsModeAndRefreshesRandom()
{
    QFETCH(bool, folder);
    QFETCH(QString, modeButton);
    QFETCH(QString, page);
    QFETCH(bool, random);
    QFETCH(bool, resent);
    RenamePropertyWidget panel;
    panel.setFolderMode(folder);
    showPanel(panel);
    QTest::mouseClick(::modeButton(panel, modeButton), Qt::LeftButton);
    if (random) {
        flipSwitch(pageOf(panel, page), "numberSetCheck");
        click(pageOf(panel, page), "randomBtn");
    }
    panel.setStartEnabled(true);

    HubRecorder recorder;
    QTest::mouseClick(panel.findChild<QAbstractButton *>("setBtn"), Qt::LeftButton);
    QStringList expected = {Channel::StartChangeName};
    if (resent)
        expected.append(keyOf(page, folder));
    QCOMPARE(recorder.nameSpaces(), expected);
    QCOMPARE(recorder.notes.first().value.userType(), int(QMetaType::Bool));
    QCOMPARE(recorder.notes.first().value.toBool(), folder);
}

void TestRenamePanel::startLetterShowsLetters_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("startLetter");
    QTest::newRow("a") << 10 << "a" << 1;
    QTest::newRow("b") << 11 << "b" << 2;
    QTest::newRow("y") << 34 << "y" << 25;
    QTest::newRow("z") << 35 << "z" << 26;
}

void TestRenamePanel::startLetterShowsLetters()
{
    QFETCH(int, value);
    QFETCH(QString, shown);
    QFETCH(int, startLetter);
    RenamePropertyWidget panel;
    showPanel(panel);
    QWidget *custom = pageOf(panel, "custormPage");
    flipSwitch(custom, "numberSetCheck");
    click(custom, "charBtn");
    auto *spin = control<QSpinBox>(custom, "startCharSpinBox");
    QCOMPARE(spin->text(), QString("a"));
    QCOMPARE(spin->minimum(), 10);
    QCOMPARE(spin->maximum(), 35);

    // Typed as a user would: the letter itself.
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, shown);
    QTest::keyClick(spin, Qt::Key_Enter);
    QCOMPARE(spin->value(), value);
    QCOMPARE(spin->text(), shown);
    QCOMPARE(customSettings(Channel::FileCustomRename)->startLetter, startLetter);
}

void TestRenamePanel::resetRestoresStartValues_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("shownPage");
    QTest::addColumn<QString>("announced");
    QTest::newRow("file, on the custom page") << false << "custormBtn" << QString(Channel::FileCustomRename);
    QTest::newRow("file, on the delete page") << false << "deleteBtn" << QString(Channel::FileDeleteRename);
    QTest::newRow("folder, on the insert page") << true << "insertBtn" << QString(Channel::FolderInsertRename);
    QTest::newRow("folder, on the import page") << true << "importBtn" << QString(Channel::ImportExcelRename);
}

void TestRenamePanel::resetRestoresStartValues()
{
    QFETCH(bool, folder);
    QFETCH(QString, shownPage);
    QFETCH(QString, announced);
    RenamePropertyWidget panel;
    panel.setFolderMode(folder);
    showPanel(panel);
    QTRY_VERIFY_WITH_TIMEOUT(panel.defaultsRecorded(), 5000);
    const QString customKey = keyOf("custormPage", folder);
    const QString insertKey = keyOf("insertPage", folder);
    const QString replaceKey = keyOf("replacePage", folder);
    const QString deleteKey = keyOf("deletePage", folder);

    QWidget *custom = pageOf(panel, "custormPage");
    type(custom, "fileNameEdit", "name");
    flipSwitch(custom, "numberSetCheck");
    click(custom, "custormPosBtn");
    click(custom, "timeBtn");
    choose(custom, "CaseSensitivityComboBox", 3);
    flipSwitch(custom, "autoNameErrorCheck");
    QWidget *insert = pageOf(panel, "insertPage");
    click(insert, "insertCustormPosBtn");
    setSpin(insert, "insertNumberBehindCountSpinBox", 7);
    QWidget *replace = pageOf(panel, "replacePage");
    type(replace, "splitEdit", "-");
    flipSwitch(replace, "regexCheckBox");
    type(replace, "replaceFindContentEdit", "(");
    QVERIFY(control<QLabel>(replace, "regexErrorLabel")->isVisibleTo(replace));
    choose(replace, "ChineseToPinyingComboBox", 1);
    QWidget *remove = pageOf(panel, "deletePage");
    click(remove, "assignPosBtn");
    choose(remove, "deletePosComboBox", 1);
    setSpin(remove, "deleteCountSpinBox", 9);
    if (!folder) {
        flipSwitch(custom, "suffixCheckBox");
        click(custom, "replaceBtn");
        type(custom, "findContentEdit", "x");
    }
    QTest::mouseClick(modeButton(panel, shownPage), Qt::LeftButton);

    HubRecorder recorder;
    QTest::mouseClick(panel.findChild<QAbstractButton *>("resetBtn"), Qt::LeftButton);
    QCOMPARE(recorder.nameSpaces(), QStringList{announced});

    // Controls
    QCOMPARE(control<QLineEdit>(custom, "fileNameEdit")->text(), QString());
    QVERIFY(!control<CustormCheckBox>(custom, "numberSetCheck")->isChecked());
    QVERIFY(!control<QWidget>(custom, "numberSettingBackgrounWidget")->isEnabled());
    QVERIFY(control<QAbstractButton>(custom, "firstBtn")->isChecked());
    QVERIFY(!control<QWidget>(custom, "custormPosWidget")->isVisibleTo(custom));
    QVERIFY(control<QAbstractButton>(custom, "numbderBtn")->isChecked());
    QCOMPARE(control<QStackedWidget>(custom, "numberTypeStackedWidget")->currentIndex(), 0);
    QCOMPARE(control<QComboBox>(custom, "CaseSensitivityComboBox")->currentIndex(), 0);
    QVERIFY(control<CustormCheckBox>(custom, "autoNameErrorCheck")->isChecked());
    QVERIFY(!control<CustormCheckBox>(custom, "suffixCheckBox")->isChecked());
    QVERIFY(!control<QWidget>(custom, "suffixTypeBackgroundWidget")->isEnabled());
    QCOMPARE(control<QStackedWidget>(custom, "suffixTypeStackedWidget")->currentIndex(), 0);
    QCOMPARE(control<QAbstractButton>(custom, "custormTypeLabel")->text(), QString("文件名设置"));
    QVERIFY(control<QAbstractButton>(insert, "insertFirstBtn")->isChecked());
    QVERIFY(control<QWidget>(insert, "insertPosWidget")->isVisibleTo(insert));
    QVERIFY(!control<QWidget>(insert, "insertCustormPosWidget")->isVisibleTo(insert));
    QCOMPARE(control<QAbstractButton>(insert, "custormTypeLabel")->text(), QString("插入设置"));
    QCOMPARE(control<QLineEdit>(replace, "splitEdit")->text(), QString());
    QVERIFY(!control<CustormCheckBox>(replace, "regexCheckBox")->isChecked());
    QVERIFY(!control<QLabel>(replace, "regexErrorLabel")->isVisibleTo(replace));
    QCOMPARE(control<QStackedWidget>(remove, "deleteWayStackedWidget")->currentIndex(), 0);
    QCOMPARE(control<QLabel>(remove, "deletePosLabel")->text(), QString("个字符向右删除"));
    for (const char *name : {"custormPage", "insertPage", "replacePage", "deletePage"}) {
        QWidget *page = pageOf(panel, name);
        QCOMPARE(control<QWidget>(page, "suffixWidget")->isVisibleTo(page), !folder);
    }

    // Records
    const CustomSettings startCustom;
    for (const QString &key : {customKey, insertKey}) {
        const CustomSettings *s = customSettings(key);
        QCOMPARE(s->text, startCustom.text);
        QCOMPARE(s->insertPosition, startCustom.insertPosition);
        QCOMPARE(s->insertAfter, startCustom.insertAfter);
        QCOMPARE(s->caseMode, startCustom.caseMode);
        QCOMPARE(s->autoResolve, startCustom.autoResolve);
        QCOMPARE(s->numberingEnabled, startCustom.numberingEnabled);
        QCOMPARE(s->numberPosition, startCustom.numberPosition);
        QCOMPARE(s->numberType, startCustom.numberType);
        QCOMPARE(s->startLetter, startCustom.startLetter);
        QCOMPARE(s->numberDigits, startCustom.numberDigits);
        QCOMPARE(s->extensionEnabled, startCustom.extensionEnabled);
        QCOMPARE(s->extensionMode, startCustom.extensionMode);
        QCOMPARE(s->extensionFind, startCustom.extensionFind);
    }
    QCOMPARE(replaceSettings(replaceKey)->delimiter, QString());
    QCOMPARE(replaceSettings(replaceKey)->pinyin, 0);
    QVERIFY(!replaceSettings(replaceKey)->useRegex);
    QVERIFY(replaceSettings(replaceKey)->regex.isValid());
    QCOMPARE(deleteSettings(deleteKey)->deleteMode, 0);
    QCOMPARE(deleteSettings(deleteKey)->deleteFromEnd, 0);
    QCOMPARE(deleteSettings(deleteKey)->deleteCount, 0);
}

void TestRenamePanel::resetBeforeDefaultsAreRecordedKeepsControls()
{
    RenamePropertyWidget panel;
    showPanel(panel);
    QVERIFY(!panel.defaultsRecorded());
    type(pageOf(panel, "custormPage"), "fileNameEdit", "kept");
    QTest::mouseClick(panel.findChild<QAbstractButton *>("resetBtn"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(pageOf(panel, "custormPage"), "fileNameEdit")->text(), QString("kept"));
    QCOMPARE(control<QAbstractButton>(pageOf(panel, "importPage"), "importExcelBtn")->text(),
             QString("点击导入Excel表格"));
}

void TestRenamePanel::unavailableScriptDirectionIsExplained()
{
    // Without the configuration files neither direction loads.
    QTemporaryDir empty;
    CCConverter::initialize({empty.path()});
    QVERIFY(!CCConverter::isAvailable(CCConverter::ToTraditional));
    {
        RenamePropertyWidget panel;
        showPanel(panel);
        QWidget *custom = pageOf(panel, "custormPage");
        auto *combo = control<QComboBox>(custom, "simplifiedTraditionalComboBox");
        auto *model = qobject_cast<QStandardItemModel *>(combo->model());
        QVERIFY(model);
        QVERIFY(model->item(0)->isEnabled());
        QVERIFY(!model->item(1)->isEnabled());
        QVERIFY(!model->item(2)->isEnabled());
        QCOMPARE(combo->itemData(1, Qt::ToolTipRole).toString(), CCConverter::errorText(CCConverter::ToTraditional));
        auto *hint = control<QLabel>(custom, "scriptHintLabel");
        QVERIFY(hint->isVisible());
        QVERIFY(hint->text().contains(CCConverter::errorText(CCConverter::ToSimplified)));
    }
    QVERIFY(CCConverter::initialize());
    RenamePropertyWidget panel;
    showPanel(panel);
    QWidget *custom = pageOf(panel, "custormPage");
    auto *model = qobject_cast<QStandardItemModel *>(control<QComboBox>(custom, "simplifiedTraditionalComboBox")->model());
    QVERIFY(model->item(1)->isEnabled());
    QVERIFY(model->item(2)->isEnabled());
    QVERIFY(!control<QLabel>(custom, "scriptHintLabel")->isVisible());
}

void TestRenamePanel::importSendsNamesInRowOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("names.xlsx");
    QVERIFY(writeWorkbook(path, {{"名称"}, {"报告一"}, {}, {"", "second column"}, {"last"}}));
    RenamePropertyWidget panel;
    showPanel(panel);
    QTest::mouseClick(modeButton(panel, "importBtn"), Qt::LeftButton);
    auto *page = panel.findChild<Import *>("importPage");
    QCOMPARE(page->property("ValueName").toString(), Channel::ImportExcelRename);

    HubRecorder recorder;
    page->setWorkbook(path);
    QCOMPARE(page->workbookPath(), path);
    QVERIFY(!control<QWidget>(page, "importExcelBtn")->isVisible());
    QVERIFY(control<QWidget>(page, "hasExportExcelwidget")->isVisible());
    QCOMPARE(control<QAbstractButton>(page, "replaceExcelLabel")->text(), path);

    QTRY_COMPARE(recorder.notes.size(), 1);
    QCOMPARE(recorder.notes.first().nameSpace, Channel::ImportExcelRename);
    const QVariantMap payload = recorder.notes.first().value.toMap();
    QCOMPARE(payload.value("names").toStringList(), QStringList({"名称", "报告一", "", "second column", "last"}));
    QCOMPARE(payload.value("folderMode").toBool(), false);

    // The folder page marks its names as its own, so the file page's list leaves them alone.
    recorder.notes.clear();
    panel.setFolderMode(true);
    page->setWorkbook(path);
    QTRY_COMPARE(recorder.notes.size(), 1);
    QCOMPARE(recorder.notes.first().value.toMap().value("folderMode").toBool(), true);
}

void TestRenamePanel::importReportsNonWorkbook()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.xlsx");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("plain text, not a workbook");
    file.close();
    Import page;
    HubRecorder recorder;
    page.setWorkbook(path);
    QTRY_VERIFY(!recorder.of(Channel::MessageErrorTip).isEmpty());
    drainReads();
    const QList<HubRecorder::Note> errors = recorder.of(Channel::MessageErrorTip);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().value.toString(), QString("请确保文件是正确的xlsx格式！"));
    // Nothing to apply: the list gets no names.
    for (const HubRecorder::Note &note : recorder.of(Channel::ImportExcelRename))
        QVERIFY(note.value.toMap().value("names").toStringList().isEmpty());
    QCOMPARE(page.workbookPath(), path);
}

void TestRenamePanel::forgetRestoresPageAndSendsNoNames()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("names.xlsx");
    QVERIFY(writeWorkbook(path, {{"a"}, {"b"}}));
    Import page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    HubRecorder recorder;
    page.setWorkbook(path);
    QTRY_COMPARE(recorder.notes.size(), 1);

    recorder.notes.clear();
    QTest::mouseClick(control<QAbstractButton>(&page, "deleteExcelBtn"), Qt::LeftButton);
    drainReads();
    // Without a workbook the list renames nothing.
    QCOMPARE(recorder.notes.size(), 1);
    QCOMPARE(recorder.notes.first().value.toMap().value("names").toStringList(), QStringList());
    QVERIFY(control<QWidget>(&page, "importExcelBtn")->isVisible());
    QVERIFY(!control<QWidget>(&page, "hasExportExcelwidget")->isVisible());
    QCOMPARE(page.workbookPath(), QString());
    QVERIFY(control<QAbstractButton>(&page, "replaceExcelLabel")->icon().isNull());

    // Forgetting while a read is under way drops what it would deliver.
    recorder.notes.clear();
    page.setWorkbook(path);
    QTest::mouseClick(control<QAbstractButton>(&page, "deleteExcelBtn"), Qt::LeftButton);
    drainReads();
    QCOMPARE(recorder.notes.size(), 1);
    QCOMPARE(recorder.notes.first().value.toMap().value("names").toStringList(), QStringList());
}

void TestRenamePanel::replacedWorkbookDropsEarlierRead()
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.xlsx");
    const QString second = dir.filePath("second.xlsx");
    QVERIFY(writeWorkbook(first, {{"from first"}}));
    QVERIFY(writeWorkbook(second, {{"from second"}, {"two"}}));
    Import page;
    HubRecorder recorder;
    page.setWorkbook(first);
    page.setWorkbook(second);
    QTRY_COMPARE(recorder.notes.size(), 1);
    drainReads();
    QCOMPARE(recorder.notes.size(), 1);
    QCOMPARE(recorder.notes.first().value.toMap().value("names").toStringList(), QStringList({"from second", "two"}));
    QCOMPARE(page.workbookPath(), second);
}

void TestRenamePanel::cancelledChoiceChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("names.xlsx");
    QVERIFY(writeWorkbook(path, {{"a"}}));
    Import page;
    HubRecorder recorder;
    page.setWorkbook(path);
    QTRY_COMPARE(recorder.notes.size(), 1);
    page.setWorkbook(QString());
    drainReads();
    QCOMPARE(recorder.notes.size(), 1);
    QCOMPARE(page.workbookPath(), path);
}

void TestRenamePanel::resetForgetsWorkbook()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("names.xlsx");
    QVERIFY(writeWorkbook(path, {{"a"}}));
    RenamePropertyWidget panel;
    showPanel(panel);
    QTRY_VERIFY_WITH_TIMEOUT(panel.defaultsRecorded(), 5000);
    QTest::mouseClick(modeButton(panel, "importBtn"), Qt::LeftButton);
    auto *page = panel.findChild<Import *>("importPage");
    HubRecorder recorder;
    page->setWorkbook(path);
    QTRY_COMPARE(recorder.of(Channel::ImportExcelRename).size(), 1);

    QTest::mouseClick(panel.findChild<QAbstractButton *>("resetBtn"), Qt::LeftButton);
    QCOMPARE(page->workbookPath(), QString());
    QVERIFY(control<QWidget>(page, "importExcelBtn")->isVisible());
    QVERIFY(!control<QWidget>(page, "hasExportExcelwidget")->isVisible());
    QCOMPARE(control<QAbstractButton>(page, "importExcelBtn")->text(), QString("点击导入Excel表格"));
    QCOMPARE(control<QAbstractButton>(page, "changeExcelBtn")->text(), QString("更换表格"));
}

QTEST_MAIN(TestRenamePanel)
#include "tst_renamepanel.moc"
