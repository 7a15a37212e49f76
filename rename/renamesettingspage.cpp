#include "renamesettingspage.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/custormcheckbox.h"
#include "controls/custormcombox.h"
#include "controls/paneldefaults.h"
#include "rename/ccconverter.h"
#include "controls/shown.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTextEdit>

namespace {

// Items of the script selector, in index order.
enum ScriptItem { ScriptUnchanged, ScriptToTraditional, ScriptToSimplified };

// Ids of the extension type buttons: the values of extensionMode.
enum SuffixType { SuffixNew, SuffixReplace };

} // namespace

RenameSettingsPage::RenameSettingsPage(QWidget *parent) : QWidget(parent) {}

void RenameSettingsPage::setKey(const QString &key)
{
    m_key = bindRecord(key) ? key : QString();
    setProperty("ValueName", m_key);
    syncFromControls();
}

void RenameSettingsPage::setFolderMode(bool folder)
{
    m_folderMode = folder;
    QScopedValueRollback<bool> silence(m_silent, true);
    setShown(m_common.suffixWidget, !folder);
    m_common.newSuffixTypeBtn->setChecked(true);
    m_common.suffixCheck->setChecked(false);
    syncFromControls();
}

void RenameSettingsPage::restoreRecordedDefaults()
{
    QScopedValueRollback<bool> silence(m_silent, true);
    restoreDefaults(this);
    // Switches report only clicks, so a restore leaves the record to be brought in line here.
    syncFromControls();
}

void RenameSettingsPage::bindCommonControls(const CommonControls &controls)
{
    m_common = controls;
    m_common.suffixTypeGroup->setId(m_common.newSuffixTypeBtn, SuffixNew);
    m_common.suffixTypeGroup->setId(m_common.replaceSuffixTypeBtn, SuffixReplace);
    watch(m_common.caseMode);
    watch(m_common.script);
    watch(m_common.pinyin);
    watch(m_common.suffixCheck);
    watch(m_common.suffixTypeGroup);
    watch(m_common.newSuffix);
    watch(m_common.suffixFind);
    watch(m_common.suffixReplace);
    showScriptAvailability();
}

void RenameSettingsPage::watch(QLineEdit *edit)
{
    connect(edit, &QLineEdit::textChanged, this, &RenameSettingsPage::onControlChanged);
}

void RenameSettingsPage::watch(QTextEdit *edit)
{
    connect(edit, &QTextEdit::textChanged, this, &RenameSettingsPage::onControlChanged);
}

void RenameSettingsPage::watch(QComboBox *combo)
{
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &RenameSettingsPage::onControlChanged);
}

void RenameSettingsPage::watch(QSpinBox *spin)
{
    connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &RenameSettingsPage::onControlChanged);
}

void RenameSettingsPage::watch(CustormCheckBox *check)
{
    connect(check, &CustormCheckBox::Checked, this, &RenameSettingsPage::onControlChanged);
}

void RenameSettingsPage::watch(QButtonGroup *group)
{
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            onControlChanged();
    });
}

void RenameSettingsPage::updateSections()
{
    m_common.suffixSection->setEnabled(m_common.suffixCheck->isChecked());
    showStackPage(m_common.suffixTypeStack, m_common.suffixTypeGroup->checkedId());
}

void RenameSettingsPage::showStackPage(QStackedWidget *stack, int index)
{
    if (index < 0 || index >= stack->count())
        return;
    stack->setCurrentIndex(index);
    // A stacked widget is as tall as its tallest page; hidden pages that ignore their size leave no gap.
    for (int i = 0; i < stack->count(); ++i) {
        const QSizePolicy::Policy policy = i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        stack->widget(i)->setSizePolicy(policy, policy);
    }
    stack->updateGeometry();
}

void RenameSettingsPage::writeCommonFields(const CommonFields &fields) const
{
    fields.caseMode = m_common.caseMode->currentIndex();
    fields.chineseScript = m_common.script->currentIndex();
    fields.pinyin = m_common.pinyin->currentIndex();
    fields.extensionEnabled = m_common.suffixCheck->isChecked();
    fields.extensionMode = qMax(0, m_common.suffixTypeGroup->checkedId());
    fields.newExtension = m_common.newSuffix->text();
    fields.extensionFind = m_common.suffixFind->text();
    fields.extensionReplace = m_common.suffixReplace->text();
}

void RenameSettingsPage::syncFromControls()
{
    if (hasRecord())
        writeRecord();
    updateSections();
}

void RenameSettingsPage::onControlChanged()
{
    syncFromControls();
    if (m_silent || m_key.isEmpty())
        return;
    CNvGlobalObserver::instance()->notifyObservers(m_key, Channel::RenameValueUpdate, QVariant());
}

void RenameSettingsPage::showScriptAvailability()
{
    // Until the dictionaries are in, both directions are offered; the page looks again once they are.
    if (!CCConverter::isLoaded()) {
        auto *watcher = new QFutureWatcher<void>(this);
        connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher] {
            watcher->deleteLater();
            showScriptAvailability();
        });
        watcher->setFuture(CCConverter::whenLoaded());
        return;
    }
    // A direction whose dictionaries failed to load cannot be chosen; the reason stays in view.
    auto *model = qobject_cast<QStandardItemModel *>(m_common.script->model());
    QStringList reasons;
    const struct {
        int item;
        CCConverter::Direction direction;
    } directions[] = {{ScriptToTraditional, CCConverter::ToTraditional},
                      {ScriptToSimplified, CCConverter::ToSimplified}};
    for (const auto &d : directions) {
        if (CCConverter::isAvailable(d.direction))
            continue;
        const QString reason = CCConverter::errorText(d.direction);
        if (model && model->item(d.item))
            model->item(d.item)->setEnabled(false);
        m_common.script->setItemData(d.item, reason, Qt::ToolTipRole);
        reasons.append(reason);
    }
    m_common.scriptHint->setText(reasons.join(QLatin1Char('\n')));
    setShown(m_common.scriptHint, !reasons.isEmpty());
    m_common.script->setToolTip(reasons.join(QLatin1Char('\n')));
}
