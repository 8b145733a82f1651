#include "app/request_checks.h"

#include <climits>

#include "isp/engine.h"

namespace {

bool IsHexDigits(const CString& text) {
  if (text.IsEmpty()) return false;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) return false;
  }
  return true;
}

}  // namespace

BOOL ParsePasswordText(const CString& text, u32* password) {
  *password = text.IsEmpty() ? 0 : HexTextToInt(text);
  return text.IsEmpty() || *password != 0;
}

WriteCheck CheckWriteRequest(BOOL updatePart, const CString& addressText,
                             const CString& passwordText, CCommonInterface& backEnd,
                             CWriteRequest* request) {
  *request = CWriteRequest{};
  if (updatePart) {
    // A typo must not silently become address 0 and overwrite the start.
    if (!IsHexDigits(addressText)) return WriteCheck::kAddressNotHex;
    request->start = HexTextToInt(addressText);
    const int page = backEnd.GetPageSize();
    if (page > 0 && request->start % static_cast<u32>(page) != 0) return WriteCheck::kAddressNotOnPage;
  }
  if (backEnd.IsPasswordRequired() && !ParsePasswordText(passwordText, &request->password)) {
    return WriteCheck::kBadPassword;
  }
  return WriteCheck::kOk;
}

CString WriteCheckText(WriteCheck check, int pageSize) {
  CString s;
  switch (check) {
    case WriteCheck::kOk: break;
    case WriteCheck::kAddressNotHex: s = "Write Begin Address must be hex digits!"; break;
    case WriteCheck::kAddressNotOnPage: s.Format("Adddress must can be multiple of %d !", pageSize); break;
    case WriteCheck::kBadPassword: s = kInvalidPasswordText; break;
    case WriteCheck::kImageDoesNotFit: s = "The image does not fit the chip from this address!"; break;
  }
  return s;
}

const char* WriteCheckCaption(WriteCheck check) {
  return check == WriteCheck::kBadPassword ? "" : "Warn";
}

ReadCheck CheckReadRequest(ReadArea area, const CString& fromText, const CString& toText,
                           const CString& passwordText, long long usableBytes,
                           unsigned long long reachBytes, CCommonInterface& backEnd,
                           CReadRequest* request) {
  *request = CReadRequest{};
  long long size = 0;
  switch (area) {
    case ReadArea::kNone: return ReadCheck::kNoArea;
    case ReadArea::kAll: size = usableBytes; break;
    case ReadArea::kCustom: {
      const u32 to = HexTextToInt(toText);
      request->start = HexTextToInt(fromText);
      if (to < request->start) return ReadCheck::kEndBeforeStart;
      size = static_cast<long long>(to) - request->start + 1;
      if (size > usableBytes) return ReadCheck::kTooBig;
      break;
    }
  }
  // A flash that leaves nothing to read has no All Area either. A size that
  // the request's count cannot hold, or addresses beyond the back end's
  // frames, would wrap round into a read of something else.
  if (size <= 0 || size > INT_MAX) return ReadCheck::kTooBig;
  if (static_cast<unsigned long long>(request->start) + static_cast<unsigned long long>(size) > reachBytes) {
    return ReadCheck::kTooBig;
  }
  request->size = static_cast<int>(size);
  const int page = backEnd.GetPageSize() > 0 ? backEnd.GetPageSize() : 1;
  request->pages = request->size / page + (request->size % page != 0 ? 1 : 0);
  if (backEnd.IsPasswordRequired()) {
    u32 password = 0;
    if (!ParsePasswordText(passwordText, &password)) return ReadCheck::kBadPassword;
    request->password = passwordText;
  }
  return ReadCheck::kOk;
}

CString ReadCheckText(ReadCheck check) {
  switch (check) {
    case ReadCheck::kOk: return CString();
    case ReadCheck::kNoArea: return "Please select All Area or Custom Area!";
    case ReadCheck::kEndBeforeStart: return "The end address must not lie before the start address!";
    case ReadCheck::kTooBig: return "Can not read such a big size!";
    case ReadCheck::kBadPassword: return kInvalidPasswordText;
  }
  return CString();
}
