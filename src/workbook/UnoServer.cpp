// LibreOffice Calc as a SpreadsheetServer over UNO: connecting, the office itself (version,
// windows, quitting). The connection and its watchdog live in UnoConnection.cpp, books in
// UnoBooks.cpp, sheets in UnoSheets.cpp and cells in UnoCells.cpp; every UNO header and type
// of the program stays inside those files and UnoImpl.h.
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "workbook/UnoImpl.h"

namespace ploxen {

using namespace uno;

UnoServer::UnoServer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
UnoServer::~UnoServer() = default;

std::shared_ptr<UnoServer> UnoServer::Connect(TAplMsgWnd& log, const std::string& pipe,
                                              std::string& error) {
  auto impl = std::make_unique<Impl>(log, pipe);
  try {
    impl->ConnectPipe();
  } catch (const css::uno::Exception& e) {
    error = "LibreOffice does not answer on pipe " + pipe + ": " + FromOu(e.Message);
    impl->Drop();
    return nullptr;
  } catch (const cppu::BootstrapException& e) {
    error = "UNO cannot start: " + FromOu(e.getMessage());
    return nullptr;
  } catch (...) {
    error = "LibreOffice does not answer on pipe " + pipe;
    impl->Drop();
    return nullptr;
  }
  impl->everConnected = true;
  impl->headless = !OfficeHasWindows();
  return std::shared_ptr<UnoServer>(new UnoServer(std::move(impl)));
}

void UnoServer::AdoptProcess(std::unique_ptr<OfficeProcess> process) {
  impl_->process = std::move(process);
}
bool UnoServer::StartedHere() const {
  return impl_->process != nullptr;
}
void UnoServer::SetHeadless(bool headless) {
  impl_->headless = headless;
}
void UnoServer::SetCallTimeout(int ms) {
  impl_->callTimeout = ms;
}
bool UnoServer::Connected() const {
  return impl_->connected && !impl_->quit;
}
ServerError UnoServer::LastError() const {
  return impl_->error;
}
std::string UnoServer::LastErrorText() const {
  return impl_->errorText;
}

bool UnoServer::Version(std::string& version) {
  return impl_->Run(impl_->callTimeout, [&] {
    version = impl_->version;
    return impl_->Ok();
  });
}

bool UnoServer::SetVisible(bool visible) {
  return impl_->Run(impl_->callTimeout, [&] {
    // A headless office has no windows; asking one for them ends it.
    if (impl_->headless) return impl_->Ok();
    for (BookHandle h : impl_->order) {
      Reference<css::frame::XController> controller =
          impl_->books[h].model->getCurrentController();
      if (!controller.is()) continue;
      Reference<css::awt::XWindow> window = controller->getFrame()->getContainerWindow();
      window->setVisible(visible);
      if (visible) {
        Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
        if (top.is()) top->toFront();
      }
    }
    return impl_->Ok();
  });
}

bool UnoServer::Quit() {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  if (impl_->quit)
    return impl_->Fail(ServerError::kRefused, "the connection to LibreOffice was ended");
  impl_->TerminateStarted();
  impl_->Drop();
  impl_->quit = true;
  if (impl_->process) {
    impl_->process->Stop(5000);
    impl_->process.reset();
  }
  return impl_->Ok();
}

}  // namespace ploxen

#if defined(__SANITIZE_ADDRESS__)
// The UNO runtime keeps the type descriptions it builds until the process ends and never
// frees them, and so do the generated headers' type getters (one description per interface
// type, made on first use); the leak checker of sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libuno_cppu.so\nleak:libuno_sal.so\nleak:libuno_cppuhelpergcc3.so\n"
         "leak:cppu_detail_getUnoType\n";
}
#endif
