// The connection to LibreOffice: the process's UNO context, the pipe and its bridge, the
// watchdog that bounds every call, and the mapping of the office's exceptions to refusals.
#include <signal.h>

#include <chrono>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include "support/AplMsg.h"
#include "workbook/UnoImpl.h"

namespace ploxen {

namespace uno {

OUString ToOu(const std::string& s) {
  return OUString(s.data(), static_cast<sal_Int32>(s.size()), RTL_TEXTENCODING_UTF8);
}

std::string FromOu(const OUString& s) {
  OString o = OUStringToOString(s, RTL_TEXTENCODING_UTF8);
  return std::string(o.getStr(), static_cast<std::size_t>(o.getLength()));
}

OUString UrlOf(const std::string& path) {
  OUString url;
  osl::FileBase::getFileURLFromSystemPath(ToOu(path), url);
  return url;
}

std::string PathOfUrl(const OUString& url) {
  OUString path;
  if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None) return "";
  return FromOu(path);
}

css::beans::PropertyValue Property(const char* name, const Any& value) {
  css::beans::PropertyValue p;
  p.Name = OUString::createFromAscii(name);
  p.Value = value;
  return p;
}

namespace {

/// The process's own UNO context, made once. It is never disposed: at exit the UNO
/// libraries' own statics may already be gone, and disposing then crashes.
Reference<css::uno::XComponentContext> LocalUnoContext() {
  static std::mutex guard;
  static auto* local = new Reference<css::uno::XComponentContext>();
  std::lock_guard<std::mutex> lock(guard);
  if (!local->is()) {
    // A write into a pipe whose office has gone raises SIGPIPE, which would end the program:
    // the write is to fail instead, and the call with it. A handler the program set stays.
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
      ::signal(SIGPIPE, SIG_IGN);
    OUString value;
    if (!rtl::Bootstrap::get("URE_BOOTSTRAP", value))
      rtl::Bootstrap::set("URE_BOOTSTRAP", ToOu("vnd.sun.star.pathname:" + OfficeProgramFolder() +
                                                "/fundamentalrc"));
    *local = cppu::defaultBootstrap_InitialComponentContext();
  }
  return *local;
}

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Watchdog::Watchdog() : thread_([this] { Loop(); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void Watchdog::Watch(Reference<css::connection::XConnection> connection) {
  std::lock_guard<std::mutex> lock(mutex_);
  connection_ = std::move(connection);
}

void Watchdog::Arm(int ms) {
  fired_.store(false);
  deadline_.store(NowMs() + static_cast<long long>(ms));
}

bool Watchdog::Disarm() {
  deadline_.store(0);
  return fired_.load();
}

void Watchdog::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    wake_.wait_for(lock, std::chrono::milliseconds(100));
    long long deadline = deadline_.load();
    if (deadline == 0 || NowMs() < deadline || !connection_.is()) continue;
    fired_.store(true);
    deadline_.store(0);
    try {
      connection_->close();
    } catch (...) {
    }
  }
}

}  // namespace uno

using namespace uno;

UnoServer::Impl::~Impl() {
  TerminateStarted();
  Drop();
  process.reset();  // stops the office this program started
}

void UnoServer::Impl::TerminateStarted() {
  if (!connected || !process) return;
  watchdog.Arm(callTimeout);
  try {
    desktop->terminate();
  } catch (...) {
  }
  watchdog.Disarm();
}

void UnoServer::Impl::ConnectPipe() {
  Reference<css::uno::XComponentContext> local = LocalUnoContext();
  Reference<css::connection::XConnector> connector = css::connection::Connector::create(local);
  connection = connector->connect(ToOu("pipe,name=" + pipe));
  watchdog.Watch(connection);
  watchdog.Arm(callTimeout);
  bridgeGone = std::make_shared<std::atomic<bool>>(false);
  bridge = css::bridge::BridgeFactory::create(local)->createBridge(
      OUString(), "urp", connection, Reference<css::bridge::XInstanceProvider>());
  Reference<css::lang::XComponent>(bridge, UNO_QUERY_THROW)
      ->addEventListener(new GoneListener(bridgeGone));
  remote.set(bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
  desktop = css::frame::Desktop::create(remote);
  try {
    css::beans::NamedValue node;
    node.Name = "nodepath";
    node.Value <<= OUString("/org.openoffice.Setup/Product");
    Sequence<Any> args(1);
    args[0] <<= node;
    Reference<css::container::XNameAccess> product(
        css::configuration::theDefaultProvider::get(remote)->createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationAccess", args),
        UNO_QUERY_THROW);
    OUString v;
    product->getByName("ooSetupVersionAboutBox") >>= v;
    version = FromOu(v);
  } catch (const css::uno::Exception&) {
    version = "LibreOffice";
  }
  bool fired = watchdog.Disarm();
  if (fired) throw css::lang::DisposedException("no answer from LibreOffice");
  connected = true;
}

void UnoServer::Impl::Drop() {
  books.clear();
  order.clear();
  sheets.clear();
  desktop.clear();
  remote.clear();
  if (connection.is()) {
    try {
      connection->close();
    } catch (...) {
    }
  }
  if (bridge.is()) {
    try {
      Reference<css::lang::XComponent>(bridge, UNO_QUERY_THROW)->dispose();
    } catch (...) {
    }
  }
  bridge.clear();
  watchdog.Watch(Reference<css::connection::XConnection>());
  connection.clear();
  connected = false;
}

bool UnoServer::Impl::Broken(bool timedOut, const std::string& why) {
  std::string text =
      timedOut ? "LibreOffice did not answer within " + std::to_string(callTimeout / 1000) +
                     " s; the connection is closed"
               : "The connection to LibreOffice is lost" + (why.empty() ? "" : ": " + why);
  log.Post(kMsgCritical, timedOut ? kMsgUnoNoAnswer : kMsgUnoLost, text);
  Drop();
  return Fail(ServerError::kRefused, text);
}

bool UnoServer::Impl::Run(int timeoutMs, const std::function<bool()>& body) {
  std::lock_guard<std::mutex> lock(mutex);
  if (quit) return Fail(ServerError::kRefused, "the connection to LibreOffice was ended");
  if (!connected) {
    try {
      ConnectPipe();
    } catch (const css::uno::Exception& e) {
      Drop();
      return Fail(ServerError::kRefused, "no connection to LibreOffice: " + FromOu(e.Message));
    } catch (...) {
      Drop();
      return Fail(ServerError::kRefused, "no connection to LibreOffice");
    }
    if (everConnected)
      log.Post(kMsgImportant, kMsgUnoReconnected, "Connected to LibreOffice again");
    everConnected = true;
  }
  watchdog.Arm(timeoutMs);
  bool ok = false;
  std::string why;
  try {
    ok = body();
  } catch (const css::lang::DisposedException& e) {
    why = FromOu(e.Message);
    if (why.find("bridge") != std::string::npos) bridgeGone->store(true);
    ok = Fail(ServerError::kNoBook, "the document is gone: " + why);
  } catch (const css::container::NoSuchElementException& e) {
    ok = Fail(ServerError::kNoSheet, "no such sheet: " + FromOu(e.Message));
  } catch (const css::lang::IndexOutOfBoundsException& e) {
    ok = Fail(ServerError::kBadAddress, "outside the sheet: " + FromOu(e.Message));
  } catch (const css::lang::IllegalArgumentException& e) {
    ok = Fail(ServerError::kFileError, FromOu(e.Message));
  } catch (const css::io::IOException& e) {
    ok = Fail(ServerError::kFileError, FromOu(e.Message));
  } catch (const css::uno::Exception& e) {
    why = FromOu(e.Message);
    ok = Fail(ServerError::kRefused, "LibreOffice refused: " + why);
  } catch (const std::exception& e) {
    ok = Fail(ServerError::kRefused, std::string("internal failure: ") + e.what());
  } catch (...) {
    ok = Fail(ServerError::kRefused, "internal failure");
  }
  bool fired = watchdog.Disarm();
  if (fired || bridgeGone->load()) return Broken(fired, why);
  return ok;
}

}  // namespace ploxen
