#pragma once
// Small replaceable interfaces to the outside for the screens: the folder chooser and the
// clipboard. The program uses the real ones; tests install functions that answer instead.
//
//   SetFolderChooser([](QWidget*, const QString&) { return QStringLiteral("/tmp/x"); });
//   SetClipboardWriter([&](const QString& text) { copied = text; });
//   ...
//   SetFolderChooser({});     // back to the real dialog
//   SetClipboardWriter({});   // back to the system clipboard

#include <QString>
#include <functional>

class QWidget;

// Answers a folder choice: the chosen folder, or an empty text when cancelled.
using FolderChooser = std::function<QString(QWidget* parent, const QString& title)>;
// Installs a chooser for later choices and returns the one it replaces (empty: the real one).
FolderChooser SetFolderChooser(FolderChooser chooser);
// The system's folder dialog (native on Windows) unless a chooser is installed.
QString ChooseFolder(QWidget* parent, const QString& title);

// Puts a text on the clipboard, replacing what was there.
using ClipboardWriter = std::function<void(const QString& text)>;
ClipboardWriter SetClipboardWriter(ClipboardWriter writer);
void SetClipboardText(const QString& text);
