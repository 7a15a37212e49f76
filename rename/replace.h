#pragma once

#include "rename/renamesettingspage.h"

namespace Ui {
class Replace;
}

struct ReplaceSettings;

// The replace page of the rename panel: find and replace, the delimiter swap, conversions and the extension,
// written into the ReplaceSettings record of the page's key.
class Replace : public RenameSettingsPage
{
    Q_OBJECT
public:
    explicit Replace(QWidget *parent = nullptr);
    ~Replace() override;

protected:
    bool bindRecord(const QString &key) override;
    bool hasRecord() const override { return m_settings != nullptr; }
    void writeRecord() override;
    // The error of a pattern that does not compile shows under the find field.
    void updateSections() override;

private:
    Ui::Replace *ui;
    ReplaceSettings *m_settings = nullptr;
};
