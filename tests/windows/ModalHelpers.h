// Helpers that act on a modal window from inside its own event loop, the way an operator would.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Failed comparisons of texts print the texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orvelle::test {

// Runs ACTION on the next modal window to open (one other than the modal window active now), from
// within that window's event loop. Gives up after five seconds, which fails the test.
inline void WhenModal(std::function<void(QWidget*)> action) {
    QWidget* before = QApplication::activeModalWidget();
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, before, waited, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == before) {
            if (++*waited < 500)
                return;
            ADD_FAILURE() << "no modal window opened";
            timer->deleteLater();
            timer->stop();
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start(10);
}

// A key press on the widget that has the keyboard focus in WINDOW (the window itself without one).
inline void PressKey(QWidget* window, Qt::Key key) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key);
}

} // namespace orvelle::test
