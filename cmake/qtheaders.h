// The Qt and standard headers that most of the program's and the tests'
// files include, compiled once per build and reused by every Qt Widgets
// target (see qtheaders.cmake). A compiled header costs about a second to
// load, so it holds what many files need, not all that some do.
#pragma once

#include <QAction>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
