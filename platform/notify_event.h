#pragma once

#include <functional>

class QObject;

// A callback bound to an object, called with the sender (null where the caller has none).
using TNotifyEvent = std::function<void(QObject* Sender)>;
