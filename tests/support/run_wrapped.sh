#!/usr/bin/env bash
# Runs a test binary under the cwrap tools (pam_wrapper with pam_matrix, nss_wrapper,
# uid_wrapper) with a made-up set of accounts, so log-on and group membership are exercised
# without touching the machine's accounts. Exits 77 (skipped) when a wrapper is missing.
#
#   accounts (passwd, also seen through NSS):  jsmith 1001, mjones 1002, dsmith 1003,
#                                              aclonly 1004, primary 1005 (primary group 2000)
#   "lumatix-users" (2000) through NSS:        jsmith, dsmith        (dsmith: domain only)
#   "lumatix-users" in the local group file:   JSmith
#   PAM passwords (service lumatix-viewer):    jsmith/Secret1, aclonly/pw4
set -euo pipefail

multiarch=$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)
libdir=/usr/lib/$multiarch
pam_wrapper=$libdir/libpam_wrapper.so
nss_wrapper=$libdir/libnss_wrapper.so
uid_wrapper=$libdir/libuid_wrapper.so
pam_matrix=$libdir/pam_wrapper/pam_matrix.so
for f in "$pam_wrapper" "$nss_wrapper" "$uid_wrapper" "$pam_matrix"; do
  if [ ! -e "$f" ]; then
    echo "skipped: $f is missing (apt-get install libpam-wrapper libnss-wrapper libuid-wrapper)"
    exit 77
  fi
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/lumatix-wrap-XXXXXX")
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/pam.d"

cat > "$dir/passwd" <<'ACCOUNTS'
root:x:0:0:root:/root:/bin/sh
jsmith:x:1001:1001:J Smith:/home/jsmith:/bin/sh
mjones:x:1002:1002:M Jones:/home/mjones:/bin/sh
dsmith:x:1003:1003:D Smith:/home/dsmith:/bin/sh
aclonly:x:1004:1004:Acl Only:/home/aclonly:/bin/sh
primary:x:1005:2000:Primary:/home/primary:/bin/sh
ACCOUNTS
cat > "$dir/group" <<'GROUPS'
root:x:0:
jsmith:x:1001:
mjones:x:1002:
dsmith:x:1003:
aclonly:x:1004:
lumatix-users:x:2000:jsmith,dsmith
GROUPS
cat > "$dir/local-group" <<'GROUPS'
root:x:0:
lumatix-users:x:2000:JSmith
GROUPS
cat > "$dir/passdb" <<'PASSWORDS'
jsmith:Secret1:lumatix-viewer
aclonly:pw4:lumatix-viewer
PASSWORDS
cat > "$dir/pam.d/lumatix-viewer" <<SERVICE
auth required $pam_matrix passdb=$dir/passdb
account required $pam_matrix passdb=$dir/passdb
SERVICE

preload="$pam_wrapper:$nss_wrapper:$uid_wrapper"
# A sanitizer build needs its runtime loaded before the wrappers, and no deep binding.
asan=$(ldd "$1" 2>/dev/null | awk '/libasan/ {print $3}')
if [ -n "$asan" ]; then
  preload="$asan:$preload"
  export PAM_WRAPPER_DISABLE_DEEPBIND=1
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
fi
export LD_PRELOAD="$preload"
export PAM_WRAPPER=1 PAM_WRAPPER_SERVICE_DIR="$dir/pam.d"
export NSS_WRAPPER_PASSWD="$dir/passwd" NSS_WRAPPER_GROUP="$dir/group"
export UID_WRAPPER=1 UID_WRAPPER_ROOT=1
export LUMATIX_WRAPPED=1 LUMATIX_WRAP_DIR="$dir"
"$@"
