#pragma once

#include "hub/hubsubscription.h"
#include "filelist/fileentry.h"
#include "filelist/recordlistwidget.h"
#include "rename/conflictpreview.h"
#include "rename/namerules.h"
#include "rename/renamehistory.h"

#include <QHash>
#include <QTimer>
#include <QVariant>

#include <optional>

enum class RowOutcome;
class NewNameDelegate;
class PhotoDateReader;

// The list of a rename page: one row per gathered file (or folder) with its proposed name, folder, status
// and actions. It follows the rename settings of its own mode through the hub, renames its items on
// "START CHANGE NAME" and undoes its batches newest first. Before a start it shows what the job will do with
// the proposals: those that conflict with another row or an item on disk, and those the job refuses, are
// marked in column 1 and told in their tooltip; the proposals themselves stay as the rules made them.
class FileListWidget : public RecordListWidget<FileEntry>
{
    Q_OBJECT
public:
    enum Column { NameColumn, NewNameColumn, FolderColumn, StatusColumn, OperateColumn, ColumnCount };

    explicit FileListWidget(QWidget *parent = nullptr);

    FileEntryList &entries() { return m_records; }
    const FileEntryList &entries() const { return m_records; }

    void setNewNameText(int row, const QString &text);

    // Proposals by a rule of this list's mode, shown in column 1; a rule of the other mode changes nothing.
    // The rule stays the source of the proposals: a sort, a row move or an undo computes them again from it,
    // in the new order. A settings change replaces the names typed into rows.
    void recompute(const NameRules::RuleSettings &rule);
    // names[i] becomes the proposal of row i (a file keeps its extension); the other rows propose their own
    // name. The names stay the source of the proposals like a rule does.
    void applyImportedNames(const QStringList &names);
    // Column 1 of every row from its entry's newName, repainted at once.
    void showNewNames();
    // The rename job over every row, or (undoing) the undo of the newest batch. The window keeps painting
    // and takes no input until it ends; a call while a job runs is ignored.
    void renameAll(bool undoing);
    void undo();

    // Checks every proposal against the other rows and the target folders, marks the rows and updates the
    // summary. Runs after every recomputation and import, and as soon as the window is free after a job or any
    // other change of the rows.
    void checkConflicts();

    bool autoResolve() const { return m_autoResolve; }
    bool isRenaming() const { return isJobRunning(); }
    // True while dates taken are read for a time number; a start meanwhile waits for them.
    bool isReadingPhotoDates() const;
    int undoDepth() const { return m_history.size(); }

signals:
    // The count line of the check changed ("12个名称冲突，开始命名后将失败"; empty: nothing to say); willFail:
    // some row will fail rather than be renamed to another free name.
    void conflictSummaryChanged(const QString &summary, bool willFail);

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value) override;

protected:
    FileEntry makeRecord(const QString &path) const override;
    void fillRow(int row, const QIcon &icon) override;
    bool sortRecords(int column, bool descending) override;
    void onCellEdited(int row, QTableWidgetItem *item) override;
    void onCleared() override;
    void renameRecord(FileEntry &entry, const QString &oldName, const QString &newName) override;
    void followMoves(const ItemMoves &moves) override;
    void moveRecord(int from, int to) override;
    void showEvent(QShowEvent *event) override;
    bool undoAvailable() const override { return m_history.canUndo(); }

private:
    void importNames(const QVariant &value);
    // The proposals from their source (none until a setting of this list's mode arrives), in row order,
    // then the names typed into rows; nothing shown.
    void computeProposals();
    void refreshProposals();
    // A typed name the job has given its item is used up.
    void forgetAppliedTypedNames();
    TakenTime cachedTakenTime(const QString &path);
    void readPhotoDates();
    void onPhotoDatesRead();
    void showJobRow(int row, const FileEntry &entry, RowOutcome outcome);
    void scheduleConflictCheck();
    // Shows the mark and hint of conflict on row; false when they were shown already.
    bool showConflictMark(int row, const NameConflict &conflict);

    RenameHistory m_history;
    bool m_autoResolve = true; // resolve naming conflicts; set by every recomputation and import
    std::optional<NameRules::RuleSettings> m_sourceRule; // the rule the proposals come from, if not an import
    bool m_importIsSource = false;
    QStringList m_importedNames;          // the names of the last import, while the import is the source
    QHash<QString, QString> m_typedNames; // proposals typed into rows since the last settings change, by row id
    HubSubscription m_subscription;
    NewNameDelegate *m_newNameDelegate;
    QHash<QString, NameConflict> m_conflicts; // the marked rows of the last check, by row id
    QString m_conflictSummary;
    bool m_conflictsFail = false;
    QTimer m_conflictTimer;
    // Dates taken for time numbers, read off the window's thread and kept per item and modification time.
    PhotoDateReader *m_photos;
    NameSources m_sources; // the system's, with dates taken from the cache
    bool m_startWhenRead = false;
};
