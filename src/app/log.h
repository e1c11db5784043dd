#pragma once
// The game's log: one plain-text file at a time, named, enabled and set to
// start fresh by whoever opens a session (log-on, the map editor). The file
// is opened on the first line, every line begins "VDLOG: ", and a line with
// its prefix is at most 255 characters. Callers end their text with "\n".
//
// The main, turn and network threads all write here: every operation takes
// the log's lock, and each line goes to the end of the file in one write.
#include <cstdio>

#include "app/app_object.h"

// Sets the file name (a game path; empty means no log), the enabled flag and
// the new-file flag together, under the log's lock. An open file stays open.
void SetLogTarget(PlatformState& platform, const char* fileName, bool enabled, bool newFile);

// Formats and writes one line when the log is enabled.
void LogWrite(PlatformState& platform, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Opens the file when a name is set and it is not open yet: replacing it
// when the new-file flag is set, else appending. Clears the new-file flag.
void OpenLogFile(PlatformState& platform);
// Closes the file when open.
void CloseLogFile(PlatformState& platform);
// Every line also goes to the stream (null: none), whether or not the file
// log is enabled: a program without a window (the headless runner) shows
// its log on standard error.
void SetLogMirror(std::FILE* stream);
