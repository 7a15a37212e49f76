#pragma once

#include "rename/renamesettingspage.h"

namespace Ui {
class Delete;
}

struct DeleteSettings;

// The delete page of the rename panel: text or a run of characters to remove, conversions and the extension,
// written into the DeleteSettings record of the page's key. The delete rule always resolves conflicts, so
// the page has no option for it.
class Delete : public RenameSettingsPage
{
    Q_OBJECT
public:
    explicit Delete(QWidget *parent = nullptr);
    ~Delete() override;

protected:
    bool bindRecord(const QString &key) override;
    bool hasRecord() const override { return m_settings != nullptr; }
    void writeRecord() override;
    void updateSections() override;

private:
    Ui::Delete *ui;
    DeleteSettings *m_settings = nullptr;
};
