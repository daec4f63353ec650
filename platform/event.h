#pragma once

#include <QObject>
#include <functional>

// A component event: a callable stored in the component and called with the sender first, as in
// OnPacketReceived(Sender, buffer). An empty function means "unassigned".
template <typename... Args>
using TEvent = std::function<void(QObject *Sender, Args...)>;

using TNotifyEvent = TEvent<>;
