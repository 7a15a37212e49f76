#include "app/windowbutton.h"
#include "controls/bluepushbtn.h"
#include "controls/custormcheckbox.h"
#include "controls/custormcombox.h"
#include "controls/custormspinbox.h"
#include "controls/graylayerwidget.h"
#include "controls/iconbluetoolbtn.h"
#include "controls/icongraytoolbtn.h"
#include "controls/pagestack.h"
#include "controls/panelscrollarea.h"
#include "controls/polishhold.h"
#include "controls/toolbuttonicon.h"

#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// Delivered as if from the window system, so that an ignored turn travels on to the parent.
void turnWheel(QWidget *widget, int steps)
{
    const QPoint pos = widget->rect().center();
    QWheelEvent event(pos, widget->mapToGlobal(pos), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(widget, &event);
}

QIcon solidIcon(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

QColor iconColor(const QAbstractButton &button)
{
    return button.icon().pixmap(16, 16).toImage().pixelColor(8, 8);
}

// Counts the wheel events that a control passes on to its parent.
class WheelCounter : public QWidget
{
public:
    int wheels = 0;

protected:
    void wheelEvent(QWheelEvent *event) override
    {
        ++wheels;
        event->accept();
    }
};

// Counts the style changes a widget is told of, and those that came before its polish.
class StyleChangeCounter : public QWidget
{
public:
    using QWidget::QWidget;
    int changes = 0;
    int beforePolish = 0;

protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::StyleChange) {
            ++changes;
            beforePolish += testAttribute(Qt::WA_WState_Polished) ? 0 : 1;
        }
        QWidget::changeEvent(event);
    }
};

} // namespace

class TestStyledControls : public QObject
{
    Q_OBJECT
private slots:
    void typeProperties_data();
    void typeProperties();
    void toolButtonIcon();

    void checkBoxForm();
    void checkBoxEmitsOnClickOnly();

    void wheelIgnored_data();
    void wheelIgnored();
    void comboPopupIsListView();
    void comboPopupBuiltWhenOpened();
    void scrollAreaMeasuresWhenShown();
    void pagesAdoptedInOrder();
    void dormantPageStyledWhenShown();
    void heldPolishGivesStyledSizes();
    void styleChangeWaitsForPolish_data();
    void styleChangeWaitsForPolish();

    void grayLayer();

    void windowButtonIcon_data();
    void windowButtonIcon();
    void windowButtonDoubleClick();
};

void TestStyledControls::typeProperties_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("type");
    QTest::newRow("BluePushBtn") << "BluePushBtn" << "Blue";
    QTest::newRow("IconGrayToolBtn") << "IconGrayToolBtn" << "Gray";
    QTest::newRow("IconBlueToolBtn") << "IconBlueToolBtn" << "Blue";
}

void TestStyledControls::typeProperties()
{
    QFETCH(QString, className);
    QFETCH(QString, type);
    std::unique_ptr<QToolButton> button;
    if (className == QLatin1String("BluePushBtn"))
        button = std::make_unique<BluePushBtn>();
    else if (className == QLatin1String("IconGrayToolBtn"))
        button = std::make_unique<IconGrayToolBtn>();
    else
        button = std::make_unique<IconBlueToolBtn>();
    QCOMPARE(QLatin1String(button->metaObject()->className()), className);
    QCOMPARE(button->property("Type").toString(), type);
}

void TestStyledControls::toolButtonIcon()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("icon.png"));
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::red);
    QVERIFY(pixmap.save(path));
    IconGrayToolBtn button;
    setToolButtonIcon(&button, path);
    QVERIFY(!button.icon().isNull());
    QCOMPARE(button.iconSize(), QSize(32, 32));
    QCOMPARE(button.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
}

void TestStyledControls::checkBoxForm()
{
    CustormCheckBox box;
    QCOMPARE(box.objectName(), QStringLiteral("CustormCheckBox"));
    auto *label = box.findChild<QLabel *>(QStringLiteral("label"));
    auto *check = box.findChild<QCheckBox *>(QStringLiteral("checkBox"));
    QVERIFY(label && check);
    QVERIFY(label->text().isEmpty());
    QVERIFY(check->text().isEmpty());
    QCOMPARE(check->minimumSize(), QSize(50, 36));
    QCOMPARE(check->maximumWidth(), 50);
    box.setText(QStringLiteral("仅使用编号作为文件名"));
    QCOMPARE(label->text(), QStringLiteral("仅使用编号作为文件名"));
}

void TestStyledControls::checkBoxEmitsOnClickOnly()
{
    CustormCheckBox box;
    box.resize(409, 80);
    box.show();
    QSignalSpy checked(&box, &CustormCheckBox::Checked);
    auto *check = box.findChild<QCheckBox *>(QStringLiteral("checkBox"));

    box.setChecked(true);
    QVERIFY(box.isChecked());
    box.setChecked(false);
    QCOMPARE(checked.count(), 0);

    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(10, check->height() / 2));
    QCOMPARE(checked.count(), 1);
    QCOMPARE(checked.takeFirst().at(0).toBool(), true);
    QVERIFY(box.isChecked());

    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(10, check->height() / 2));
    QCOMPARE(checked.count(), 1);
    QCOMPARE(checked.takeFirst().at(0).toBool(), false);
    QVERIFY(!box.isChecked());
}

void TestStyledControls::wheelIgnored_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("changes");
    // The plain Qt controls show that the wheel event used here would change a value.
    QTest::newRow("QComboBox") << "QComboBox" << true;
    QTest::newRow("CustormCombox") << "CustormCombox" << false;
    QTest::newRow("QSpinBox") << "QSpinBox" << true;
    QTest::newRow("CustormSpinBox") << "CustormSpinBox" << false;
}

void TestStyledControls::wheelIgnored()
{
    QFETCH(QString, className);
    QFETCH(bool, changes);
    WheelCounter parent;
    auto *layout = new QVBoxLayout(&parent);
    QWidget *control = nullptr;
    std::function<int()> value;
    if (className.contains(QLatin1String("Combo"))) {
        QComboBox *combo = className == QLatin1String("QComboBox") ? new QComboBox : new CustormCombox;
        combo->addItems({QStringLiteral("数字"), QStringLiteral("字母"), QStringLiteral("随机字符")});
        combo->setCurrentIndex(1);
        control = combo;
        value = [combo] { return combo->currentIndex(); };
    } else {
        QSpinBox *spin = className == QLatin1String("QSpinBox") ? new QSpinBox : new CustormSpinBox;
        spin->setRange(0, 100);
        spin->setValue(50);
        control = spin;
        value = [spin] { return spin->value(); };
    }
    layout->addWidget(control);
    parent.show();
    control->setFocus();
    const int before = value();

    turnWheel(control, -1);
    turnWheel(control, -1);

    QCOMPARE(value() != before, changes);
    if (!changes)
        QCOMPARE(parent.wheels, 2); // passed on, so a surrounding scroll area still scrolls
}

void TestStyledControls::comboPopupIsListView()
{
    QWidget window;
    auto *combo = new CustormCombox(&window);
    combo->addItems({QStringLiteral("一"), QStringLiteral("二")});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    combo->showPopup();
    // A plain list view, not the combo box's own, so that the stylesheet's item rules draw the items.
    QCOMPARE(combo->view()->metaObject(), &QListView::staticMetaObject);
    QCOMPARE(combo->view()->model(), combo->model());
    combo->hidePopup();
}

// A style or font change before the list first opens builds no popup; the popup built then takes the box's font.
void TestStyledControls::comboPopupBuiltWhenOpened()
{
    QWidget window;
    auto *combo = new CustormCombox(&window);
    combo->addItems({QStringLiteral("一"), QStringLiteral("二")});
    window.setStyleSheet(QStringLiteral("QComboBox { font-size: 23px; }"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(combo->font().pixelSize(), 23);
    QVERIFY(combo->findChildren<QFrame *>().isEmpty());

    combo->showPopup();
    QWidget *popup = combo->view()->window();
    QVERIFY(popup != &window);
    QCOMPARE(popup->font().pixelSize(), 23);
    combo->hidePopup();
}

// uic hands the contents over before anything is styled; the area measures them when it is first shown.
void TestStyledControls::scrollAreaMeasuresWhenShown()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *area = new PanelScrollArea(&window);
    area->setWidgetResizable(true);
    layout->addWidget(area);
    auto *contents = new QWidget;
    auto *inner = new QVBoxLayout(contents);
    inner->addWidget(new QLabel(QStringLiteral("文件名设置"), contents));
    area->setWidget(contents);
    QCOMPARE(area->widget(), contents);
    QCOMPARE(contents->parentWidget(), area->viewport());
    QCOMPARE(static_cast<QScrollArea *>(area)->widget(), nullptr);

    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(static_cast<QScrollArea *>(area)->widget(), contents);
    QVERIFY(contents->isVisible());
    QTRY_COMPARE(contents->width(), area->viewport()->width());
}

void TestStyledControls::pagesAdoptedInOrder()
{
    PageStack stack;
    auto *first = new QLabel(QStringLiteral("一"), &stack);
    auto *second = new QLabel(QStringLiteral("二"), &stack);
    auto *third = new QLabel(QStringLiteral("三"), &stack);
    stack.adoptPages();
    QCOMPARE(stack.count(), 3);
    QCOMPARE(stack.widget(0), first);
    QCOMPARE(stack.widget(1), second);
    QCOMPARE(stack.widget(2), third);
    QCOMPARE(stack.currentWidget(), first);
    QVERIFY(!stack.isDormant(second));
    stack.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stack));
    QVERIFY(first->isVisible());
    QVERIFY(!second->isVisible() && !third->isVisible());
}

void TestStyledControls::dormantPageStyledWhenShown()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("QLabel { font-size: 31px; }"));
    auto *layout = new QVBoxLayout(&window);
    auto *stack = new PageStack(&window);
    layout->addWidget(stack);
    auto *first = new QLabel(QStringLiteral("一"), stack);
    auto *second = new QWidget(stack);
    auto *label = new QLabel(QStringLiteral("二"), second);
    stack->adoptPages(PageStack::StyleWhenShown);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(first->font().pixelSize(), 31);
    QVERIFY(stack->isDormant(second));
    QVERIFY(label->font().pixelSize() != 31);

    stack->setCurrentWidget(second);
    QVERIFY(!stack->isDormant(second));
    QCOMPARE(label->font().pixelSize(), 31);
    QVERIFY(label->isVisible());
}

// Size hints asked for while the polish is held must not stay those of the unstyled widget.
void TestStyledControls::heldPolishGivesStyledSizes()
{
    const QString sheet = QStringLiteral("QToolButton { padding: 20px 30px; }");
    QWidget plain;
    plain.setStyleSheet(sheet);
    auto *reference = new QToolButton(&plain);
    reference->setText(QStringLiteral("开头"));
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));

    QWidget held;
    held.setStyleSheet(sheet);
    QToolButton *button = nullptr;
    {
        PolishHold hold(&held);
        button = new QToolButton(&held);
        button->setText(QStringLiteral("开头"));
        button->sizeHint();
        QVERIFY(!button->testAttribute(Qt::WA_WState_Polished));
    }
    QVERIFY(button->testAttribute(Qt::WA_WState_Polished));
    QCOMPARE(button->sizeHint(), reference->sizeHint());
}

void TestStyledControls::styleChangeWaitsForPolish_data()
{
    QTest::addColumn<bool>("onDormantPage");
    QTest::newRow("a widget moved in while the window builds") << false;
    QTest::newRow("a widget on a page not shown yet") << true;
}

// Moved into place under a style sheet, a widget is told its style changed before it has one; it is told once,
// after its polish, whenever that comes.
void TestStyledControls::styleChangeWaitsForPolish()
{
    QFETCH(bool, onDormantPage);
    QWidget window;
    window.setStyleSheet(QStringLiteral("QLabel { font-size: 19px; }"));
    auto *layout = new QVBoxLayout(&window);
    auto *stack = new PageStack(&window);
    layout->addWidget(stack);
    auto *first = new QWidget(stack);
    auto *second = new QWidget(stack);
    auto *widget = new StyleChangeCounter;
    {
        PolishHold hold(&window);
        widget->setParent(onDormantPage ? second : first);
        QCOMPARE(widget->changes, 0);
        stack->adoptPages(PageStack::StyleWhenShown);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(widget->changes, onDormantPage ? 0 : 1);

    stack->setCurrentWidget(second);
    QCOMPARE(widget->changes, 1);
    QCOMPARE(widget->beforePolish, 0);
}

void TestStyledControls::grayLayer()
{
    QWidget holder;
    holder.setStyleSheet(QStringLiteral("GrayLayerWidget { background: rgb(10, 200, 30); }"));
    auto *layer = new GrayLayerWidget(&holder);
    layer->setGeometry(0, 0, 120, 60);
    holder.resize(120, 60);
    holder.show();
    QVERIFY(QTest::qWaitForWindowExposed(&holder));

    layer->setEnabled(false);
    QImage image = layer->grab().toImage();
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7)
            QCOMPARE(image.pixelColor(x, y).rgb(), QColor(80, 80, 80).rgb());
    }
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1).rgb(), QColor(80, 80, 80).rgb());

    layer->setEnabled(true);
    image = layer->grab().toImage();
    QCOMPARE(image.pixelColor(5, 5).rgb(), QColor(10, 200, 30).rgb());
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1).rgb(), QColor(10, 200, 30).rgb());
}

void TestStyledControls::windowButtonIcon_data()
{
    QTest::addColumn<bool>("withChecked");
    QTest::addColumn<bool>("withDisabled");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("shown");
    const QColor normal(Qt::white);
    const QColor checkedColor(Qt::blue);
    const QColor disabledColor(Qt::gray);
    QTest::newRow("normal") << true << true << false << true << normal;
    QTest::newRow("checked") << true << true << true << true << checkedColor;
    QTest::newRow("checked without its icon") << false << true << true << true << normal;
    QTest::newRow("disabled wins over checked") << true << true << true << false << disabledColor;
    QTest::newRow("disabled without its icon") << true << false << true << false << checkedColor;
    QTest::newRow("disabled, unchecked, no icon") << true << false << false << false << normal;
}

void TestStyledControls::windowButtonIcon()
{
    QFETCH(bool, withChecked);
    QFETCH(bool, withDisabled);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(QColor, shown);
    WindowButton button;
    button.setCheckable(true);
    button.setIconNormal(solidIcon(Qt::white));
    if (withChecked)
        button.setIconChecked(solidIcon(Qt::blue));
    if (withDisabled)
        button.setIconDisabled(solidIcon(Qt::gray));
    button.setChecked(checked);
    button.setEnabled(enabled);
    QCOMPARE(iconColor(button), shown);
}

void TestStyledControls::windowButtonDoubleClick()
{
    WindowButton button;
    button.setCheckable(true);
    button.setIconNormal(solidIcon(Qt::white));
    button.setIconChecked(solidIcon(Qt::blue));
    button.resize(36, 36);
    button.show();
    QSignalSpy doubleClicked(&button, &WindowButton::doubleClicked);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    QCOMPARE(iconColor(button), QColor(Qt::blue)); // a click switches the icon too

    QTest::mouseDClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::RightButton);
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(button.isChecked());
}

QTEST_MAIN(TestStyledControls)
#include "tst_styledcontrols.moc"
