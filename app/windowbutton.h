#pragma once

#include <QIcon>
#include <QPushButton>

#include <memory>

class WindowButtonPrivate;

// A minimise, maximise or close button of the title bar. Its icons per state are properties, so the
// stylesheet sets them with "qproperty-iconNormal" and the like.
class WindowButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QIcon iconNormal READ iconNormal WRITE setIconNormal)
    Q_PROPERTY(QIcon iconChecked READ iconChecked WRITE setIconChecked)
    Q_PROPERTY(QIcon iconDisabled READ iconDisabled WRITE setIconDisabled)
public:
    explicit WindowButton(QWidget *parent = nullptr);
    ~WindowButton() override;

    QIcon iconNormal() const;
    void setIconNormal(const QIcon &icon);
    QIcon iconChecked() const;
    void setIconChecked(const QIcon &icon);
    QIcon iconDisabled() const;
    void setIconDisabled(const QIcon &icon);

signals:
    void doubleClicked();

protected:
    void checkStateSet() override;
    void nextCheckState() override;
    void changeEvent(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    std::unique_ptr<WindowButtonPrivate> m_d;
};
