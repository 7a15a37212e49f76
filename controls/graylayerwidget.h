#pragma once

#include <QWidget>

// A group of panel options that greys itself out, as one flat block, while disabled.
class GrayLayerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit GrayLayerWidget(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
