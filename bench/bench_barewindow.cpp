// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The baseline of bench_launch: a bare Qt window of the main window's outline (eight tab pages
// and a menu bar of two menus), started as a program of its own.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *tabs = new QTabWidget;
    for (int i = 0; i < 8; ++i)
        tabs->addTab(new QWidget, QStringLiteral("Page %1").arg(i + 1));
    window.setCentralWidget(tabs);
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Create"));
    file->addAction(QStringLiteral("E&xit"));
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
    window.resize(705, 580);
    window.show();
    return app.exec();
}
