#include "app/viewer_app.h"

#include <filesystem>

#include "app/compliance_settings.h"
#include "app/ui.h"
#include "app/user_authent_dlg.h"
#include "platform/identity.h"

namespace lumatix::app {

namespace {

const char* const kNotInGroup =
    "Warning!\n\t\t\t\t\t\t\t   The current logged-on user does not belong to the group of users that can operate "
    "this software.\n\t\t\t\t\t\t\t   Only member of the \"Lumatix Users\" security group can operate this "
    "software.\n\n\t\t\t\t\t\t\t   Please see your system Administrator.";

std::string modeRecord(const std::string& logon, bool authenticated) {
  return std::string(kApplicationName) + " '21 CFR Part 11' mode: enabled\n\t\t\t\t\t\t\t  The user with Windows(R) " +
         "logon username: '" + logon + "' is " + (authenticated ? "authenticated" : "not authenticated") +
         " to run the software.\n\n";
}

std::string refusedRecord(const std::string& logon) {
  return std::string("\t\t\t\t\t\t\t\t  Warning! ") + kApplicationName +
         " '21 CFR Part 11' mode: is enabled; however, the user with\n\t\t\t\t\t\t\t\t  Windows(R) logon username: '" +
         logon +
         "' is not authenticated to run the software.\n\t\t\t\t\t\t\t\t  The software will now close. Contact your "
         "system administrator.\n";
}

}  // namespace

CKVViewerApp::CKVViewerApp(Ui& ui, MainFrameHost& host, StartupEnvironment environment)
    : ui_(ui), host_(host), env_(std::move(environment)) {}

CKVViewerApp::~CKVViewerApp() {
  // The pipes go first: their listeners call back into the process-wide compliance state.
  controlPanelPipe_.reset();
  viewerPipe_.reset();
}

void CKVViewerApp::report(const std::string& text) {
  if (eventLog_ && eventLog_->registered()) eventLog_->Report(text);
}

bool CKVViewerApp::InitInstance(const CKVCommandLineInfo& commandLine) {
  // Single-instance rule.
  if (!commandLine.multiInstance) {
    instance_ = std::make_unique<platform::SingleInstance>(kApplicationName, env_.instanceFolder);
    if (instance_->acquire() == platform::SingleInstance::Result::AlreadyRunning) {
      std::string file = commandLine.fileName;
      std::error_code ec;
      // The running instance has another working folder: hand it a name it can open, in the
      // form its own windows use, so that the window already showing it is found.
      if (!file.empty()) file = std::filesystem::absolute(file, ec).lexically_normal().string();
      anotherInstance_ = true;
      handedOver_ = instance_->handOver({file});
      instance_.reset();
      return false;
    }
  }

  host_.keepSystemAwake();

  platform::MachineConfig machine = platform::MachineConfig::readEffective(env_.machineConfigPath, env_.machineConfigOverride,
                                                                            env_.trustedOwner);
  ComplianceSettings::instance().reset(
      {machine.flag("CFRCompliant"), machine.flag("CFRLocalAuthOnly"), false});

  eventLog_ = std::make_unique<platform::CEventLog>("", "", env_.syslogSocket);
  eventLog_->Register(kApplicationName);
  report(std::string(kApplicationName) + " initializing.\n");
  if (!machine.warning().empty()) report(machine.warning() + "\n");

  if (ComplianceSettings::instance().snapshot().cfrCompliant) {
    bool localOnly = ComplianceSettings::instance().snapshot().cfrLocalAuthOnly;
    if (!enforceCompliance(localOnly)) return false;
  }

  settings_ = std::make_unique<platform::SettingsStore>(env_.settingsPath);
  try {
    userPref_.load(*settings_, ui_, env_.documents);
  } catch (const std::exception&) {
    // The preference could not be written back; the computed directory serves this run.
  }
  workingDirectoryLoaded_ = true;

  onLineRequest_ = commandLine.onLine ? 0 : 1;
  if (!host_.openDocument(commandLine.fileName)) return false;

  for (const char* name : {"_DATASET_FORMAT_", "_DATASTORE_FORMAT_"})
    clipboardFormats_[name] = host_.registerClipboardFormat(name);

  if (commandLine.onLine) host_.goOnLine(false);
  host_.setMainWindowTitle(kApplicationName);
  if (ComplianceSettings::instance().snapshot().controlPanelConfirmedUser) host_.goOnLine(true);
  return true;
}

bool CKVViewerApp::answerControlPanelAuthRequest() {
  if (!viewerPipe_) return false;
  const bool written = viewerPipe_->Write(CurrentUserName::instance().get());
  viewerPipe_->Open(true, "QUIT", [](const std::string& message) { confirmUserFromPipe(message); });
  return written;
}

bool CKVViewerApp::enforceCompliance(bool localOnly) {
  auto confirm = [](const std::string& message) { confirmUserFromPipe(message); };
  viewerPipe_ = std::make_unique<platform::CNamedPipe>();
  viewerPipe_->Init(".", "ViewerPipe");
  viewerPipe_->Open(true, "QUIT", confirm);
  controlPanelPipe_ = std::make_unique<platform::CNamedPipe>();
  controlPanelPipe_->Init(".", "ControlPanelPipe");
  controlPanelPipe_->Open(false, "QUIT", confirm);  // fails quietly when the control software is not running

  // Only a name from the account database counts here; no name means nobody is let in.
  const std::string logon = platform::accountName().value_or("");
  CurrentUserName::instance().set(platform::toLower(logon));
  platform::GroupCheckSources sources = env_.groupSources;
  sources.trustedOwner = env_.trustedOwner;
  platform::GroupCheckResult group = platform::isUserInGroup(logon, env_.securityGroup, localOnly, sources);
  if (!group.warning.empty()) report(group.warning + "\n");
  authenticated_ = group.member;

  if (!group.member) {
    ui_.showMessage(kNotInGroup, kAuthenticationCaption, Icon::Warning, Buttons::Ok);
    authenticated_ = false;
  } else {
    host_.broadcastViewerRequest();
    if (!ComplianceSettings::instance().snapshot().controlPanelConfirmedUser) {
      if (!env_.authenticator) pam_ = std::make_unique<platform::PamAuthenticator>();
      platform::Authenticator& authenticator = env_.authenticator ? *env_.authenticator : *pam_;
      CUserAuthentDlg dialog(authenticator, logon, true);
      authenticated_ = dialog.run(ui_);
    }
  }

  report(modeRecord(logon, authenticated_));
  if (!authenticated_) {
    report(refusedRecord(logon));
    return false;
  }
  return true;
}

int CKVViewerApp::ExitInstance() {
  // A start-up that ended before the preferences were read must not blank the stored directory.
  if (settings_ && workingDirectoryLoaded_) {
    try {
      userPref_.save(*settings_);
    } catch (const std::exception&) {
    }
  }
  if (eventLog_ && eventLog_->registered()) {
    eventLog_->Report(std::string(kApplicationName) + " shutting down.");
    eventLog_->Deregister();
  }
  eventLog_.reset();
  instance_.reset();
  return 0;
}

std::uint32_t CKVViewerApp::GetClipboardFormat(const std::string& name) const {
  auto it = clipboardFormats_.find(name);
  return it == clipboardFormats_.end() ? 0 : it->second;
}

}  // namespace lumatix::app
