// Runtime class records: every creatable class carries a record with its
// name, creation function and base class, so that an object can be made
// from its class name alone (the step factory and the uninstall log reader
// do this) and tested for its kind at run time.
//
// A class opts in with VELMORA_DECLARE_DYNCREATE(Class) in its body and
// VELMORA_IMPLEMENT_DYNCREATE(Class, Base) in its source file; the record is
// then RUNTIME_CLASS(Class).  Records are constant-initialised, so they are
// usable from any static initialiser.
#pragma once

#include <cstring>
#include <new>

namespace velmora {

class CArchive;
class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  CObject* (*m_pfnCreateObject)();    // null: the class cannot be created by name
  const CRuntimeClass* m_pBaseClass;  // null only for CObject

  // A new object of the class, or null when the class is not creatable or
  // memory runs out.
  CObject* CreateObject() const {
    if (m_pfnCreateObject == nullptr) return nullptr;
    try {
      return m_pfnCreateObject();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }

  // True when this class is `base` or derives from it.
  bool IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
      if (c == base) return true;
    return false;
  }

  bool HasName(const char* name) const { return std::strcmp(m_lpszClassName, name) == 0; }
};

// Root of every class with a runtime class record.  Its first three virtual
// operations come in this order: GetRuntimeClass, destructor, Serialize.
class CObject {
 public:
  static const CRuntimeClass classCObject;

  virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
  virtual ~CObject() = default;
  virtual void Serialize(CArchive&) {}

  bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

 protected:
  CObject() = default;
};

inline const CRuntimeClass CObject::classCObject{"CObject", nullptr, nullptr};

}  // namespace velmora

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define VELMORA_DECLARE_DYNCREATE(class_name)              \
 public:                                                   \
  static const ::velmora::CRuntimeClass class##class_name; \
  static ::velmora::CObject* CreateObject();               \
  const ::velmora::CRuntimeClass* GetRuntimeClass() const override;

// The class names are pasted into declarations, where parentheses cannot go.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define VELMORA_IMPLEMENT_DYNCREATE(class_name, base_name)                  \
  ::velmora::CObject* class_name::CreateObject() { return new class_name; } \
  const ::velmora::CRuntimeClass class_name::class##class_name {            \
#class_name, &class_name::CreateObject, &base_name::class##base_name    \
  };                                                                        \
  const ::velmora::CRuntimeClass* class_name::GetRuntimeClass() const {     \
    return &class_name::class##class_name;                                  \
  }
// NOLINTEND(bugprone-macro-parentheses)
