#pragma once
// The folder OrqCab installs into, and how a file gets there. Nothing is written
// through a link: each folder below the base and each installed file is opened and
// looked at as it is reached (a link or junction, or a file with a second hard
// link, is refused), and the folders stay open until the installation ends. Every
// file is first written under a temporary name in a temporary folder of the target
// folder. A file whose name is new in its folder is moved there as soon as it is
// written (by a second thread, beside the extraction) and removed again when the
// installation fails; the installed files are replaced only once the whole cabinet
// has been extracted, each moved over the old one in one step (a move never follows
// a link at its destination), so a damaged cabinet changes none of them and leaves
// no new file. A temporary file stays open, shared with nobody, from its creation to
// its move (and a new file to the end of the installation), so what is moved is what
// was written (past 4,096 files, or when the system runs out of handles, a file is
// closed when written and opened again for its move, refused if it has become a link
// or got a second name).
//
// Costs, as every name that is not there costs a look through its whole folder
// under Wine: a folder's names are read once when it is entered, only files found
// there are opened, the temporary files go in small sub-folders, and a file is moved
// by its open handle into its open folder (no path is looked up again but the new
// name).
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "orqcab/background_moves.h"
#include "support/system_folders.h"
#include "support/win_handles.h"

// `text` in double quotes, for messages.
std::string Quoted(const std::string& text);
// A system error code in words, for messages ("it is in use", "system error 87").
std::string Win32Reason(DWORD error);

class CabTarget {
 public:
  CabTarget();
  CabTarget(const CabTarget&) = delete;
  CabTarget& operator=(const CabTarget&) = delete;
  // Removes every temporary file that was not moved into place, and every new file
  // when Commit was not reached.
  ~CabTarget();

  // Opens `base` (which must exist) and creates each folder of `sub` (a checked
  // relative path, may be empty) below it. A failure's message names the folder.
  HRESULT Open(const std::string& base, const std::string& sub, std::string& message);
  const std::string& Folder() const { return folder_; }

  // Where one file of the cabinet goes.
  struct Place {
    std::string path;        // the target folder, "\" and the relative name
    std::string folder;      // its folder, relative to the target folder
    bool exists = false;     // a file is installed there
    DWORD attributes = 0;    // the installed file's attributes
  };
  // Creates and enters the folders of `relative` (a checked name) and looks at the
  // file installed there.
  HRESULT Prepare(const std::string& relative, Place& place, std::string& message);
  // A new temporary file for the place, open for writing (`file` stays this object's);
  // it waits for Commit to be moved over the place.
  HRESULT CreateTemporary(const Place& place, HANDLE& file, std::string& message);
  // The newest temporary file is complete; where no file was installed at its place,
  // it starts moving there.
  void Written();

  // Keeps the new files moved in so far, and moves every other temporary file over
  // its place, in order. A
  // read-only file is replaced too, and keeps its attribute when that fails;
  // `keepExisting` keeps a file that came meanwhile. Ends at the first failure,
  // naming the file; what is left of the temporary files goes with this object.
  HRESULT Commit(bool keepExisting, unsigned& moved, std::string& message);

 private:
  struct OpenFolder {
    UniqueKernelHandle handle;
    std::wstring finalPath;          // where the system says it is
    std::set<std::wstring> names;    // its entries when entered, in upper case
  };
  struct Pending {
    std::string temporary;
    Place place;
    // Open until it is moved (or closed past heldLimit_); a new file moved in before
    // Commit stays open until then, to be removed if the installation fails.
    UniqueKernelHandle file;
    bool moved = false;
  };
  // Takes in the results of the moves of new files done so far.
  void Settle();
  HRESULT OpenChecked(const std::string& path, const std::wstring& expected, OpenFolder& folder,
                      std::string& message);
  const OpenFolder* Enter(const std::string& relative, HRESULT& status, std::string& message);
  HRESULT MakeStagingFolder(const OpenFolder& parent, const std::string& parentPath,
                            const std::string& name, std::string& message);
  HRESULT Reopen(Pending& pending, std::string& message);
  HRESULT Replace(Pending& pending, bool keepExisting, std::string& message);

  std::string folder_;
  std::map<std::string, OpenFolder> folders_;  // by path relative to folder_ ("" itself)
  std::vector<UniqueKernelHandle> above_;      // the base and sub-folders above folder_
  std::vector<Pending> pending_;
  std::size_t held_ = 0;  // complete temporary files still open
  std::size_t heldLimit_;
  struct StagingFolder {
    std::string path;
    OpenFolder open;
  };
  // The temporary folder, once made, then its sub-folders.
  std::vector<StagingFolder> staging_;
  unsigned long nameSeed_ = 0;
  BackgroundMoves moves_;  // uses the handles above: finished first
};
