#pragma once
// Files dragged onto the window through OLE. The answer to the drag source
// is ours, not the system's: copy (or link), never move, since a source told
// MOVE may delete the player's backup once the drop is over.
#include <windows.h>

// After windows.h; WIN32_LEAN_AND_MEAN leaves these out.
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <vector>

namespace quillbox::win32 {

// The effect to answer for a drag offering `offered`: copy when it offers
// copy, else link when it offers link, else none. Never move.
DWORD DropEffectFor(DWORD offered);

// The names an HDROP holds, in its order.
std::vector<std::filesystem::path> DroppedNames(HDROP drop);

// An HDROP holding `files`, as the shell makes one; the receiver frees it
// with DragFinish. Null when memory runs out.
HDROP MakeHdrop(const std::vector<std::filesystem::path>& files);

// COM objects delete themselves in Release, never through the interface,
// whose destructor therefore need not be virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DropTarget final : public IDropTarget {
 public:
  // `accepting` says whether a drop is welcome now (not while a message box
  // is up). A drop is handed on to `window` as a posted WM_DROPFILES, so
  // that the drag source is released before the drop's work, and any
  // message box it shows, begins.
  DropTarget(HWND window, std::function<bool()> accepting);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

 private:
  ~DropTarget() = default;
  DWORD Answer(DWORD offered) const;

  std::atomic<ULONG> references_{1};
  HWND window_;
  std::function<bool()> accepting_;
  // Whether the drag under way carries files.
  bool hasFiles_ = false;
};
#pragma GCC diagnostic pop

// OLE on the window's thread and the target registered on the window and
// on its text box, so that the box never answers a file drag on its own;
// undone by Revoke and by the destructor. Without OLE (a thread already in
// the multithreaded apartment) the window still takes WM_DROPFILES.
class DropRegistration {
 public:
  DropRegistration() = default;
  ~DropRegistration();
  DropRegistration(const DropRegistration&) = delete;
  DropRegistration& operator=(const DropRegistration&) = delete;

  void Register(HWND window, HWND disp, std::function<bool()> accepting);
  // Before the windows are destroyed: OLE holds the target through them.
  void Revoke();
  // The registered target; null without OLE.
  IDropTarget* Target() const { return target_; }

 private:
  bool oleInitialized_ = false;
  DropTarget* target_ = nullptr;
  std::vector<HWND> registered_;
};

}  // namespace quillbox::win32
