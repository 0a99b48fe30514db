// Letting pending window events be processed from inside long calculations, and the busy cursor.
#pragma once

#include <chrono>
#include <functional>

namespace ploxen {

/// Processes pending events at most once per interval, so that a calculation that calls it in
/// every iteration stays fast while the windows repaint and "Break" can be clicked.
class EventPump {
 public:
  explicit EventPump(std::chrono::milliseconds interval = std::chrono::milliseconds(40))
      : interval_(interval) {}
  /// Processes events when the interval has passed since the last time (always with 0).
  void operator()();
  /// Processes events now.
  void Now();
  void SetInterval(std::chrono::milliseconds interval) { interval_ = interval; }
  /// Called before the events are processed (views refresh what the models changed).
  std::function<void()> beforeProcessing;

 private:
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_{};
};

/// Hourglass on (true) and off (false); nested calls are counted.
void SetBusyCursor(bool on);

}  // namespace ploxen
