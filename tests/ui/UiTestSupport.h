#pragma once
// Small helpers of the window tests: answering boxes through the presenter seam, answering a
// modal window while it runs, a temporary parameter store, and finding controls by name.

#include "core/MSGs.h"
#include "core/untGlobals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// Records every box and answers each with a fixed code; restores the previous presenter.
class BoxRecorder {
public:
    explicit BoxRecorder(int answer = mrNone) : m_answer(answer)
    {
        m_previous = SetMessagePresenter([this](const MessageBoxRequest& box) {
            boxes.append(box);
            return m_answer;
        });
    }
    ~BoxRecorder() { SetMessagePresenter(std::move(m_previous)); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    QList<MessageBoxRequest> boxes;

private:
    int m_answer;
    MessagePresenter m_previous;
};

// Waits (in the running event loop) for a modal window of type W and acts on it once. Give up
// after a few seconds so that a test that never opens one fails instead of hanging.
template <class W>
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(W*)> act) : m_act(std::move(act))
    {
        m_clock.start();
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_done = true;
                m_act(window);
            } else if (m_clock.elapsed() > 10000) {
                m_timer.stop();
            }
        });
        m_timer.start();
    }
    bool done() const { return m_done; }

private:
    std::function<void(W*)> m_act;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_done = false;
};

// The parameter store in a temporary file for the life of the object.
class TempParamStore {
public:
    TempParamStore() { SetParamStoreFile(m_dir.filePath(QStringLiteral("params.ini"))); }
    ~TempParamStore() { SetParamStoreFile(QString()); }
    static QString load(const char* name)
    {
        QByteArray value;
        LoadParam(name, value);
        return QString::fromUtf8(value);
    }

private:
    QTemporaryDir m_dir;
};

// A control by its objectName; fails the test when it is missing.
template <class T>
T* control(const QObject* owner, const char* name)
{
    T* found = owner->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}
