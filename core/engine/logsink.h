#pragma once

#include <QString>

#include <functional>

// Receives the engine's account of a run, one line per call, in order.
using LogSink = std::function<void(const QString &)>;
