#pragma once

#include <QStackedWidget>

// A stacked widget whose pages a form builds inside it. Qt's form compiler builds the pages of a
// QStackedWidget without a parent and moves each in when it is complete, which styles every widget of the
// page a second time (and a third inside a page of a page). A form declares this class as a plain container
// (extends QWidget), so that its pages are created in place; the form's owner then calls adoptPages() right
// after setupUi. The first page is the current one.
class PageStack : public QStackedWidget
{
    Q_OBJECT
public:
    explicit PageStack(QWidget *parent = nullptr);

    // Stacks the child widgets that are not stacked yet, in the order they were created.
    void adoptPages();
};
