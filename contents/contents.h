#pragma once
// The Macro Module's contents: what a window or a command needs to verify a
// combination against the module, back the module up, restore a backup and
// download only what changed. Every call runs inside one operation, on the
// operation's LinkContext, as the Download button's run does.
//
//   read      readForPlan / readForBackup (module_reading.h): wake the module,
//             read what it holds into a ModuleContents (module_contents.h),
//             bytes known only where two dumps agree or a reply was whole
//   compare   planChanges (change_plan.h): the bytes a download of a plan
//             would write that differ or are not known, per macro and header
//   download  runChangedOnlyDownload (changed_download.h): through the
//             download's DownloadView and Prompter, beside runDownload
//   back up   writeBackupFile / readBackupFile (backup_file.h): Intel HEX
//             for ".hex", else a raw 32 KiB image; whole-file replace
//   restore   runRestore (changed_download.h)
//
// The window's "Write changed bytes only" box: plan as the download does
// (download::planDownload(DataDir, chosen name, MacroArea)), then call
// runChangedOnlyDownload with the tab's DownloadView and the Prompter in
// place of download::runDownload. "Save Image...": readForBackup into a
// ModuleContents, then writeBackupFile with the chosen name.
#include "contents/backup_file.h"
#include "contents/change_plan.h"
#include "contents/changed_download.h"
#include "contents/module_contents.h"
#include "contents/module_reading.h"
