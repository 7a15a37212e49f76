#pragma once

#include "rename/renamesettingspage.h"

namespace Ui {
class CustormRename;
}

struct CustomSettings;

// The custom-name page of the rename panel, and in insert mode its insert-text page: a text, numbering,
// conversions and the extension, written into the CustomSettings record of the page's key.
class CustormRename : public RenameSettingsPage
{
    Q_OBJECT
public:
    explicit CustormRename(QWidget *parent = nullptr);
    ~CustormRename() override;

    // The insert page shows where the text goes and titles itself accordingly.
    void setInsertMode(bool insert);
    bool insertMode() const { return m_insertMode; }
    void setFolderMode(bool folder) override;

protected:
    bool bindRecord(const QString &key) override;
    bool hasRecord() const override { return m_settings != nullptr; }
    void writeRecord() override;
    void updateSections() override;

private:
    Ui::CustormRename *ui;
    CustomSettings *m_settings = nullptr;
    bool m_insertMode = false;
};
