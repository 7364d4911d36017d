#pragma once
// Bringing the viewer up and taking it down: the single-instance rule, the machine-wide
// compliance mode, who may run the program, the working directory and the event records of
// start and end. The parts that belong to the windows are asked of a MainFrameHost, the
// person is reached through the Ui (both ports in app/ports.h), so the whole sequence runs without a display.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>

#include "app/command_line_info.h"
#include "app/ports.h"
#include "app/user_pref.h"
#include "platform/event_log.h"
#include "platform/group_check.h"
#include "platform/machine_config.h"
#include "platform/named_pipe.h"
#include "platform/pam_authenticator.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

namespace lumatix::app {

class Ui;

inline constexpr const char* kApplicationName = "Lumatix Viewer";

// Where start-up finds the machine's and the user's configuration; tests point it elsewhere.
struct StartupEnvironment {
  std::string machineConfigPath = platform::MachineConfig::kSystemPath;
  std::string machineConfigOverride = platform::MachineConfig::overridePath();
  uid_t trustedOwner = 0;  // owner required of the machine config and the ACL file
  platform::GroupCheckSources groupSources{};
  std::string securityGroup = "lumatix-users";
  std::string settingsPath = platform::SettingsStore::defaultPath();
  std::string syslogSocket = "/dev/log";
  std::string instanceFolder;  // the runtime folder when empty
  DocumentsLookup documents = platform::documentsFolder;
  platform::Authenticator* authenticator = nullptr;  // PAM service "lumatix-viewer" when null
};

class CKVViewerApp {
 public:
  CKVViewerApp(Ui& ui, MainFrameHost& host, StartupEnvironment environment = {});
  ~CKVViewerApp();
  CKVViewerApp(const CKVViewerApp&) = delete;
  CKVViewerApp& operator=(const CKVViewerApp&) = delete;

  // The start-up sequence; false when the process is to end (another instance took over,
  // the user was refused, or the first document could not be opened).
  bool InitInstance(const CKVCommandLineInfo& commandLine);
  // The shutdown sequence; also run after a failed start-up, as the framework does.
  int ExitInstance();

  bool authenticated() const { return authenticated_; }
  // InitInstance found another instance running and passed the request to it; handedOver()
  // says whether the running one took it.
  bool anotherInstance() const { return anotherInstance_; }
  bool handedOver() const { return handedOver_; }
  CUserPref& userPref() { return userPref_; }
  platform::SettingsStore* settings() { return settings_.get(); }
  platform::SingleInstance* instance() { return instance_.get(); }
  // The pipes to the control software, set up in 21 CFR Part 11 mode only (else null).
  platform::CNamedPipe* viewerPipe() { return viewerPipe_.get(); }
  platform::CNamedPipe* controlPanelPipe() { return controlPanelPipe_.get(); }
  // The id of a registered clipboard format, 0 for a name that is not registered.
  std::uint32_t GetClipboardFormat(const std::string& name) const;
  // The control panel asks who runs the viewer ("WM_CONTROL_REQUEST_AUTH_..."): the current
  // user name goes into the viewer pipe, which is then set up afresh for the next request.
  // Outside 21 CFR Part 11 mode there is no pipe and nothing is told. True when the name was
  // written.
  bool answerControlPanelAuthRequest();
  // 1 unless "OnLine" was given (then 0), as the main frame expects it.
  int commandLineOnLineRequest() const { return onLineRequest_; }

 private:
  bool enforceCompliance(bool localOnly);
  void report(const std::string& text);

  Ui& ui_;
  MainFrameHost& host_;
  StartupEnvironment env_;
  std::unique_ptr<platform::PamAuthenticator> pam_;
  std::unique_ptr<platform::SingleInstance> instance_;
  std::unique_ptr<platform::CEventLog> eventLog_;
  std::unique_ptr<platform::CNamedPipe> viewerPipe_;
  std::unique_ptr<platform::CNamedPipe> controlPanelPipe_;
  std::unique_ptr<platform::SettingsStore> settings_;
  std::map<std::string, std::uint32_t> clipboardFormats_;
  CUserPref userPref_;
  bool workingDirectoryLoaded_ = false;
  bool authenticated_ = false;
  bool anotherInstance_ = false;
  bool handedOver_ = false;
  int onLineRequest_ = 1;
};

}  // namespace lumatix::app
