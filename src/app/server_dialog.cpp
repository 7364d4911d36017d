#include "app/server_dialog.h"

#include <charconv>

#include "link/server_address.h"

namespace lumatix::app {

namespace {

// The number a field holds, or -1.
int fieldValue(const std::string& field) {
  if (field.empty() || field.size() > 3) return -1;
  int value = -1;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || value < 0 || value > 255) return -1;
  return value;
}

}  // namespace

CServerDlg::CServerDlg(std::string lastRemoteAddress, bool cfrCompliant)
    : lastRemote_(std::move(lastRemoteAddress)), compliant_(cfrCompliant) {
  // The fields show the last remote address only when it is four dotted numbers.
  std::array<std::string, 4> parts;
  std::size_t from = 0;
  bool dotted = true;
  for (std::size_t k = 0; k < 4 && dotted; ++k) {
    const std::size_t dot = lastRemote_.find('.', from);
    const bool last = k == 3;
    if (last != (dot == std::string::npos)) dotted = false;
    parts[k] = lastRemote_.substr(from, last ? std::string::npos : dot - from);
    dotted = dotted && fieldFilled(parts[k]);
    from = dot + 1;
  }
  if (dotted) initial_.fields = parts;
}

bool CServerDlg::fieldFilled(const std::string& field) { return fieldValue(field) >= 0; }

CServerDlg::Outcome CServerDlg::accept(const ServerDialogSettings& settings) const {
  Outcome outcome{std::string(instrument_link::kLocalAddress), lastRemote_};
  bool filled = true;
  for (const std::string& f : settings.fields) filled = filled && fieldFilled(f);
  if (filled) {
    outcome.lastRemoteAddress.clear();
    for (std::size_t k = 0; k < 4; ++k)
      outcome.lastRemoteAddress += (k ? "." : "") + std::to_string(fieldValue(settings.fields[k]));
  }
  if (settings.remote && remoteAllowed()) outcome.address = outcome.lastRemoteAddress;
  return outcome;
}

}  // namespace lumatix::app
