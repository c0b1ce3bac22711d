#pragma once
// The application object. Qt does not let exceptions cross its event loop, so every event goes
// through notify(), which is the program's error handler: whatever a handler raised ends that
// handler and is dropped without a word.

#include <QApplication>

class TDm;

class NemoraApplication : public QApplication {
    Q_OBJECT
public:
    // Right-to-left layout, a Persian-capable font and the window message box presenter.
    NemoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The error handler: an error that escaped its handler is cleared and nothing is shown.
    void ApplicationEvents1Exception(const char* message);

    // Errors dropped so far (for the curious: tests and debugging; never shown to the user).
    int droppedErrors() const { return m_droppedErrors; }

    // Shows a wait cursor while the gateway waits for a reply.
    static void InstallWaitCursor(TDm& dm);

    // The family used for Persian text: Noto Sans Arabic when installed, else the default.
    static QString PersianFontFamily();

private:
    int m_droppedErrors = 0;
};
