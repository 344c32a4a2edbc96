#include "ui/device_worker.h"

#include <QCoreApplication>
#include <QThread>
#include <thread>

namespace ui {

namespace {

// The link while no port is open: nothing goes out, nothing comes in, and a
// read still takes its time so that waits keep their meaning.
class ClosedTransport final : public device::Transport {
 public:
  bool isOpen() const override { return false; }
  bool write(std::string_view) override { return false; }
  std::size_t read(std::string&, device::Micros maxWait) override {
    if (maxWait.count() > 0) std::this_thread::sleep_for(maxWait);
    return 0;
  }
};

}  // namespace

void ForwardingOperator::runThere(const std::function<void()>& fn) {
  QObject* context = m_context.data();
  if (!context || QThread::currentThread() == context->thread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(context, fn, Qt::BlockingQueuedConnection);
}

void ForwardingOperator::showMessage(const std::string& text) {
  runThere([&] { m_target.showMessage(text); });
}

bool ForwardingOperator::askYesNo(const std::string& text, const std::string& title) {
  bool answer = false;
  runThere([&] { answer = m_target.askYesNo(text, title); });
  return answer;
}

std::optional<std::string> ForwardingOperator::askText(const std::string& title, const std::string& prompt,
                                                       const std::string& initial) {
  std::optional<std::string> answer;
  runThere([&] { answer = m_target.askText(title, prompt, initial); });
  return answer;
}

DeviceWorker::DeviceWorker(TransportFactory factory, core::Operator& op, QObject* ui)
    : m_factory(std::move(factory)),
      m_op(op, ui),
      m_ui(ui),
      m_closed(std::make_unique<ClosedTransport>()),
      m_comm(std::make_unique<device::CommState>(*m_closed, device::ConnectionType::Portable)) {}

DeviceWorker::~DeviceWorker() {
  m_comm->setTransport(*m_closed);
  m_transport.reset();
}

void DeviceWorker::post(std::function<void(DeviceLink&)> job) {
  ++m_pending;
  QMetaObject::invokeMethod(
      this,
      [this, job = std::move(job)] {
        QPointer<QObject> ui = m_ui;
        DeviceLink link{m_comm->PortOpen() ? m_comm.get() : nullptr, m_state, m_op, [ui](std::function<void()> fn) {
                          if (ui) QMetaObject::invokeMethod(ui.data(), std::move(fn), Qt::QueuedConnection);
                        }};
        job(link);
        --m_pending;
      },
      Qt::QueuedConnection);
}

void DeviceWorker::requestStop() { m_comm->StopRequested.store(true); }
void DeviceWorker::clearStop() { m_comm->StopRequested.store(false); }

bool DeviceWorker::open(const PortRequest& request) {
  close();
  if (!m_factory) return false;
  auto transport = m_factory(request);
  if (!transport || !transport->isOpen()) return false;
  m_transport = std::move(transport);
  m_comm->setTransport(*m_transport);
  m_comm->setConnectionType(device::ConnectionTypeFromSetting(request.type));
  m_comm->ReceiveBuffer.clear();
  // A new connection starts with nothing known about the terminal.
  m_state = device::DeviceState{};
  return true;
}

void DeviceWorker::close() {
  m_comm->setTransport(*m_closed);
  m_transport.reset();
  m_comm->ReceiveBuffer.clear();
}

}  // namespace ui
