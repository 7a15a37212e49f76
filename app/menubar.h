#pragma once

#include <QWidget>

namespace Ui {
class Menubar;
}

// The window's own title bar: logo, help and customer-service buttons and the system buttons. The window
// agent moves the window by it; the main window lays out its contents.
class Menubar : public QWidget
{
    Q_OBJECT
public:
    explicit Menubar(QWidget *parent = nullptr);
    ~Menubar() override;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::Menubar *ui;
};
