#!/usr/bin/env bash
# Builds the installer: wixl makes the package from QuorvelDual.wxs, then msibuild adds what wixl
# has no element for: the settings key with its access list, and the custom action that asks a
# running copy to end.
#   make-msi.sh OUTPUT.msi PROGRAM.exe CLOSE-TOOL.exe VERSION
set -euo pipefail
output=$1 program=$2 tool=$3 version=$4
here="$(cd "$(dirname "$0")" && pwd)"

# wixl takes file sources relative to where it runs.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/QuorvelDual.exe"
cp "$tool" "$stage/CloseRunningCopy.exe"
(cd "$stage" && wixl -a x86 -D Version="$version" -D ProgramExe=QuorvelDual.exe \
    -D CloseTool=CloseRunningCopy.exe -o package.msi "$here/QuorvelDual.wxs")

query() { msibuild "$stage/package.msi" -q "$1"; }

# The settings key, created at install ("+": left in place at uninstall, so that a reinstall
# keeps the user's settings), in the 32-bit registry view like every row of this package.
query "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`)
       VALUES ('SettingsKey', 2, 'SOFTWARE\\Harlowen\\Quorvel Dual\\Filter', '+', 'SettingsKey')"

# Its access list replaces the inherited one: the program opens the key with full access
# (KEY_ALL_ACCESS), so every user gets that on this one key, as SYSTEM and Administrators do.
query "CREATE TABLE \`LockPermissions\` (\`LockObject\` CHAR(72) NOT NULL,
       \`Table\` CHAR(32) NOT NULL, \`Domain\` CHAR(255), \`User\` CHAR(255) NOT NULL,
       \`Permission\` LONG PRIMARY KEY \`LockObject\`, \`Table\`, \`Domain\`, \`User\`)"
for user in SYSTEM Administrators Users; do
    query "INSERT INTO \`LockPermissions\` (\`LockObject\`, \`Table\`, \`User\`, \`Permission\`)
           VALUES ('SettingsKey', 'Registry', '$user', 983103)"
done

# Type 66: an executable from the Binary table, run at once, its exit code ignored. Before
# InstallValidate (1400), which is where files in use would otherwise ask for a reboot.
query "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`)
       VALUES ('CloseRunningCopy', 66, 'CloseRunningCopy', '')"
query "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
       VALUES ('CloseRunningCopy', 1390)"

# The sibling library comes with the adapter's own driver package, not with this one: when the
# driver package puts its Zelfilter.dll beside this installer, the install copies it beside the
# program (MoveFile with option 0: copy), and the uninstall removes that copy. Without one beside
# the installer nothing is copied and the program warns at start that the library is missing.
query "CREATE TABLE \`MoveFile\` (\`FileKey\` CHAR(72) NOT NULL, \`Component_\` CHAR(72) NOT NULL,
       \`SourceName\` CHAR(255) LOCALIZABLE, \`DestName\` CHAR(255) LOCALIZABLE,
       \`SourceFolder\` CHAR(72), \`DestFolder\` CHAR(72) NOT NULL, \`Options\` SHORT NOT NULL
       PRIMARY KEY \`FileKey\`)"
query "INSERT INTO \`MoveFile\` (\`FileKey\`, \`Component_\`, \`SourceName\`, \`DestName\`,
       \`SourceFolder\`, \`DestFolder\`, \`Options\`)
       VALUES ('SiblingLibrary', 'Program', 'Zelfilter.dll', 'Zelfilter.dll', 'SourceDir',
       'INSTALLDIR', 0)"
query "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`,
       \`InstallMode\`) VALUES ('SiblingLibrary', 'Program', 'Zelfilter.dll', 'INSTALLDIR', 2)"
# ResolveSource sets SourceDir, which a silent install has no dialog sequence to set; MoveFiles
# runs in its usual place, before InstallFiles (4000).
query "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`)
       VALUES ('ResolveSource', 'NOT REMOVE~="ALL"', 850)"
query "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('MoveFiles', 3800)"

mv "$stage/package.msi" "$output"
