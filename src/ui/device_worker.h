#pragma once
// The device worker: one thread that owns the link to the terminal and runs
// the exchanges one job at a time, in the order they were queued. Jobs are
// plain sequential protocol code (send, wait with a deadline, compare); they
// report to the window by posting to its thread. Only StopRequested is
// touched from outside while a job runs.

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "core/operator.h"
#include "device/comm_state.h"
#include "device/device_state.h"
#include "device/transport.h"

namespace ui {

// Which port to open and how.
struct PortRequest {
  std::string name;  // device name ("/dev/ttyS1", "COM2", a pseudo-terminal)
  int rate = 19200;
  int type = 0;  // connection type 0..2
};

// Opens the link; null or a closed transport when the port cannot be opened.
using TransportFactory = std::function<std::unique_ptr<device::Transport>(const PortRequest&)>;

// The serial port of the device layer.
TransportFactory SerialTransportFactory();

// An Operator for jobs: each call is carried out by `target` on the thread of
// `context` while the job's thread waits for the answer. Called on the
// context's own thread it calls `target` directly.
class ForwardingOperator : public core::Operator {
 public:
  ForwardingOperator(core::Operator& target, QObject* context) : m_target(target), m_context(context) {}
  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                     const std::string& initial = {}) override;

 private:
  void runThere(const std::function<void()>& fn);
  core::Operator& m_target;
  QPointer<QObject> m_context;
};

// What a job sees of the link. `comm` is null while no port is open.
struct DeviceLink {
  device::CommState* comm = nullptr;
  device::DeviceState& state;  // from the last usable status reply
  core::Operator& op;          // shows on the window's thread
  // Runs `fn` on the window's thread without waiting for it.
  std::function<void(std::function<void()>)> post;
};

class DeviceWorker : public QObject {
  Q_OBJECT
 public:
  // `ui` is the object on whose thread results and operator questions are
  // handled (the main window).
  DeviceWorker(TransportFactory factory, core::Operator& op, QObject* ui);
  ~DeviceWorker() override;

  // Thread-safe. Queues a job; jobs run one after the other.
  void post(std::function<void(DeviceLink&)> job);
  // Thread-safe. Asks the running job to stop after its current step.
  void requestStop();
  // Thread-safe. Clears the stop request (a new long operation begins).
  void clearStop();
  bool stopRequested() const { return m_comm->StopRequested.load(); }
  // Number of jobs queued or running.
  int pendingJobs() const { return m_pending.load(); }

  // Run on the worker thread (inside jobs): closes the current link and opens
  // a new one; true when the port is open.
  bool open(const PortRequest& request);
  void close();

 private:
  TransportFactory m_factory;
  ForwardingOperator m_op;
  QPointer<QObject> m_ui;
  std::unique_ptr<device::Transport> m_closed;  // stands in while no port is open
  std::unique_ptr<device::Transport> m_transport;
  // Lives as long as the worker, so that StopRequested can always be set.
  std::unique_ptr<device::CommState> m_comm;
  device::DeviceState m_state;
  std::atomic<int> m_pending{0};
};

}  // namespace ui
