#pragma once

#include <QString>
#include <QWidget>

class CustormCheckBox;
class CustormCombox;
class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;
class QTextEdit;

// What the custom, insert, replace and delete pages of the rename panel share: the key under which a page
// announces its changes (also its "ValueName" property), the sections for case, script, pinyin and
// extension, and the path of a change: the page writes every control into the record of its key, brings its
// sections in line and sends the key on the hub.
class RenameSettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit RenameSettingsPage(QWidget *parent = nullptr);

    QString key() const { return m_key; }
    // Binds the page to the record of key and writes the controls into it; sends nothing.
    void setKey(const QString &key);
    // Folder mode hides the extension section; both modes put the page back to its start options.
    virtual void setFolderMode(bool folder);
    bool folderMode() const { return m_folderMode; }

    // Puts every control back to its recorded default, writes the record once and sends nothing: the panel
    // decides which key to announce after a reset.
    void restoreRecordedDefaults();

protected:
    // The controls of the common sections, as the page's form names them.
    struct CommonControls
    {
        CustormCombox *caseMode = nullptr;
        CustormCombox *script = nullptr;
        QLabel *scriptHint = nullptr;
        CustormCombox *pinyin = nullptr;
        QWidget *suffixWidget = nullptr;
        CustormCheckBox *suffixCheck = nullptr;
        QWidget *suffixSection = nullptr;
        QButtonGroup *suffixTypeGroup = nullptr;
        QAbstractButton *newSuffixTypeBtn = nullptr;
        QAbstractButton *replaceSuffixTypeBtn = nullptr;
        QStackedWidget *suffixTypeStack = nullptr;
        QLineEdit *newSuffix = nullptr;
        QLineEdit *suffixFind = nullptr;
        QLineEdit *suffixReplace = nullptr;

        // The pages' forms give the common sections the same object names.
        template <class Form>
        static CommonControls of(Form *ui)
        {
            CommonControls common;
            common.caseMode = ui->CaseSensitivityComboBox;
            common.script = ui->simplifiedTraditionalComboBox;
            common.scriptHint = ui->scriptHintLabel;
            common.pinyin = ui->ChineseToPinyingComboBox;
            common.suffixWidget = ui->suffixWidget;
            common.suffixCheck = ui->suffixCheckBox;
            common.suffixSection = ui->suffixTypeBackgroundWidget;
            common.suffixTypeGroup = ui->suffixBtnGroup;
            common.newSuffixTypeBtn = ui->custormTypeBtn;
            common.replaceSuffixTypeBtn = ui->replaceBtn;
            common.suffixTypeStack = ui->suffixTypeStackedWidget;
            common.newSuffix = ui->newSuffixEdit;
            common.suffixFind = ui->findContentEdit;
            common.suffixReplace = ui->replaceContentEdit;
            return common;
        }
    };

    // The common fields of a settings record.
    struct CommonFields
    {
        int &caseMode;
        int &chineseScript;
        int &pinyin;
        bool &extensionEnabled;
        int &extensionMode;
        QString &newExtension;
        QString &extensionFind;
        QString &extensionReplace;
    };

    // Called once by the page's constructor after its form is built.
    void bindCommonControls(const CommonControls &controls);

    // Every change of these controls goes the path of a change.
    void watch(QLineEdit *edit);
    void watch(QTextEdit *edit);
    void watch(QComboBox *combo);
    void watch(QSpinBox *spin);
    void watch(CustormCheckBox *check);
    // Radio groups act only for the button that becomes checked; ids are the field values.
    void watch(QButtonGroup *group);

    // Looks up the record of key; false when key has no record of the page's type.
    virtual bool bindRecord(const QString &key) = 0;
    virtual bool hasRecord() const = 0;
    // Writes the page's own fields into the bound record (only called while one is bound).
    virtual void writeRecord() = 0;
    // Visibility, enabled state and stacked pages that follow the controls.
    virtual void updateSections();

    void writeCommonFields(const CommonFields &fields) const;
    // Shows page index of stack and lets the stack take the height of that page alone.
    static void showStackPage(QStackedWidget *stack, int index);
    void syncFromControls();

private:
    void onControlChanged();
    void showScriptAvailability();

    CommonControls m_common;
    QString m_key;
    bool m_folderMode = false;
    bool m_silent = false;
};
