#pragma once

#include <QWidget>

namespace Ui {
class OperateWidget;
}

class QAbstractButton;

// The action cell of a list row: delete, a drag handle and reveal in the file manager. One instance per
// table paints every row's cell (see ActionDelegate) and, with the "ItemPtr" and "UUID" properties set for
// the row the user clicked, emits that row's signal.
class OperateWidget : public QWidget
{
    Q_OBJECT
public:
    explicit OperateWidget(QWidget *parent = nullptr);
    ~OperateWidget() override;

    void setOpenVisible(bool visible);
    void setSortVisible(bool visible);

    // Lays the buttons out for a cell of this size, as they will be painted.
    void layoutFor(const QSize &size);
    // The clickable button at pos (widget coordinates after layoutFor), or null.
    QAbstractButton *buttonAt(const QPoint &pos) const;

signals:
    void openDir();
    void deleteFile();
    void startSort();

private slots:
    void on_openBtn_clicked();
    void on_deleteBtn_clicked();
    void on_sortBtn_clicked();

private:
    Ui::OperateWidget *ui;
};
