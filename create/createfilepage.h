#pragma once

#include <QWidget>

// Page container; its list and settings panel come with the page's own feature.
class CreateFilePage : public QWidget
{
    Q_OBJECT
public:
    explicit CreateFilePage(QWidget *parent = nullptr);
};
