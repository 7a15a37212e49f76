#pragma once

#include <QPushButton>

// A push button whose text is a path: the full path stays its text (and tool tip), and a path wider than
// the button is drawn with an ellipsis in the middle, so the file name at its end stays readable.
class ElidedPathButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ElidedPathButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
