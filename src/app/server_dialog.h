#pragma once
// CServerDlg: the "Connect..." dialog's rules without its widgets. It opens on "Local" with the
// last remote address in its four fields (when that address is four dotted numbers), refuses
// "Remote" in 21 CFR Part 11 mode, and on OK tells which address to go on-line to and what
// the last remote address becomes.

#include <array>
#include <string>

namespace lumatix::app {

// What the dialog edits: the choice and the four fields as typed ("" for an empty field).
struct ServerDialogSettings {
  bool remote = false;
  std::array<std::string, 4> fields;
};

class CServerDlg {
 public:
  CServerDlg(std::string lastRemoteAddress, bool cfrCompliant);

  bool remoteAllowed() const { return !compliant_; }
  // The dialog as it opens.
  const ServerDialogSettings& initial() const { return initial_; }
  // A field counts as filled when it holds a number from 0 to 255.
  static bool fieldFilled(const std::string& field);

  struct Outcome {
    std::string address;            // to go on-line to
    std::string lastRemoteAddress;  // kept for the next opening
  };
  // OK: with all four fields filled the last remote address becomes "%d.%d.%d.%d" of them;
  // "Remote" gives the last remote address, "Local" (or "Remote" where it is refused) the
  // local one.
  Outcome accept(const ServerDialogSettings& settings) const;

 private:
  std::string lastRemote_;
  bool compliant_;
  ServerDialogSettings initial_;
};

}  // namespace lumatix::app
