#include "ui/win32/DropTarget.h"

// DROPFILES
#include <shlobj.h>

#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace quillbox::win32 {
namespace {

FORMATETC HdropFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

DWORD DropEffectFor(DWORD offered) {
  if ((offered & DROPEFFECT_COPY) != 0) return DROPEFFECT_COPY;
  if ((offered & DROPEFFECT_LINK) != 0) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

std::vector<std::filesystem::path> DroppedNames(HDROP drop) {
  std::vector<std::filesystem::path> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  files.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
    DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
    files.emplace_back(std::move(name));
  }
  return files;
}

HDROP MakeHdrop(const std::vector<std::filesystem::path>& files) {
  std::wstring names;
  for (const auto& file : files) names += file.wstring() + L'\0';
  names += L'\0';
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  if (memory == nullptr) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

DropTarget::DropTarget(HWND window, std::function<bool()> accepting)
    : window_(window), accepting_(std::move(accepting)) {}

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DropTarget::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

DWORD DropTarget::Answer(DWORD offered) const {
  if (!hasFiles_) return DROPEFFECT_NONE;
  bool welcome = false;
  try {
    welcome = accepting_();
  } catch (...) {
  }
  return welcome ? DropEffectFor(offered) : DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  FORMATETC format = HdropFormat();
  hasFiles_ = data != nullptr && data->QueryGetData(&format) == S_OK;
  *effect = Answer(*effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  *effect = Answer(*effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
  hasFiles_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  // Asked afresh: a message box may have opened since the last DragOver.
  FORMATETC format = HdropFormat();
  hasFiles_ = data != nullptr && data->QueryGetData(&format) == S_OK;
  const DWORD answer = Answer(*effect);
  hasFiles_ = false;
  *effect = DROPEFFECT_NONE;
  if (answer == DROPEFFECT_NONE) return S_OK;

  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return S_OK;
  HDROP copy = nullptr;
  try {
    copy = MakeHdrop(DroppedNames(static_cast<HDROP>(medium.hGlobal)));
  } catch (...) {
  }
  ReleaseStgMedium(&medium);
  if (copy == nullptr) return S_OK;
  if (PostMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(copy), 0) == 0) {
    DragFinish(copy);
    return S_OK;
  }
  *effect = answer;
  return S_OK;
}

DropRegistration::~DropRegistration() {
  Revoke();
  if (target_ != nullptr) target_->Release();
  if (oleInitialized_) OleUninitialize();
}

void DropRegistration::Register(HWND window, HWND disp, std::function<bool()> accepting) {
  if (target_ != nullptr) return;
  oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  if (!oleInitialized_) return;
  target_ = new (std::nothrow) DropTarget(window, std::move(accepting));
  if (target_ == nullptr) return;
  for (HWND registering : {window, disp}) {
    if (registering == nullptr) continue;
    HRESULT result = RegisterDragDrop(registering, target_);
    // A control with a target of its own would answer drags on its own terms.
    if (result == DRAGDROP_E_ALREADYREGISTERED && RevokeDragDrop(registering) == S_OK) {
      result = RegisterDragDrop(registering, target_);
    }
    if (result == S_OK) registered_.push_back(registering);
  }
}

void DropRegistration::Revoke() {
  for (HWND window : registered_) RevokeDragDrop(window);
  registered_.clear();
}

}  // namespace quillbox::win32
