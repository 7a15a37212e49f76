// The floor of the start-up benchmark: a bare Qt Widgets program of the same shape as the main window, seven
// tabs each holding a table and a button, with no stylesheet, data or log. bench/startup.sh starts it beside
// the program and sets the program's start-up time and memory against it.
#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *tabs = new QTabWidget(&window);
    for (int i = 1; i <= 7; ++i) {
        auto *page = new QWidget(tabs);
        auto *layout = new QVBoxLayout(page);
        auto *table = new QTableWidget(0, 4, page);
        table->setHorizontalHeaderLabels(
            {QStringLiteral("名称"), QStringLiteral("新名称"), QStringLiteral("路径"), QStringLiteral("状态")});
        layout->addWidget(table);
        layout->addWidget(new QPushButton(QStringLiteral("开始"), page));
        tabs->addTab(page, QStringLiteral("页面%1").arg(i));
    }
    window.setCentralWidget(tabs);
    window.resize(1340, 835);
    window.show();
    return app.exec();
}
