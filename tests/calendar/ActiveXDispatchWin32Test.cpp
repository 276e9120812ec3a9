#include <olectl.h>

#include <string>
#include <utility>
#include <vector>

#include "ActiveXModuleWin32.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {
namespace {

using Dispatch = ActiveXModuleTest;

template <typename I>
I* as(IUnknown* object, REFIID iid) {
    I* out = nullptr;
    object->QueryInterface(iid, reinterpret_cast<void**>(&out));
    return out;
}

TEST_F(Dispatch, MethodsAreFoundByNameWithTheTypeLibrarysIds) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(idOf(*control, L"EraseDayPlans"), 1);
    EXPECT_EQ(idOf(*control, L"SetActivePlan"), 2);
    EXPECT_EQ(idOf(*control, L"AddDayPlan"), 3);
    EXPECT_EQ(idOf(*control, L"adddayplan"), 3);
    EXPECT_EQ(idOf(*control, L"AboutBox"), DISPID_ABOUTBOX);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"RemoveDayPlan")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);

    EXPECT_EQ(call(*control, L"EraseDayPlans", {}), S_OK);
    EXPECT_EQ(call(*control, L"AddDayPlan", {2027, 3, 14, 7}), S_OK);
    EXPECT_EQ(call(*control, L"SetActivePlan", {7}), S_OK);
    EXPECT_EQ(call(*control, L"AddDayPlan", {2027, 3, 14}), DISP_E_BADPARAMCOUNT);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(control->Invoke(99, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                              nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    control->Release();
}

TEST_F(Dispatch, ClassInfoNamesTheCoclassAndItsEventInterface) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    auto* info = as<IProvideClassInfo2>(control, IID_IProvideClassInfo2);
    ASSERT_NE(info, nullptr);
    GUID events;
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, toGuid(&vorncal::kDiidEvents)));
    ITypeInfo* coclass = nullptr;
    ASSERT_EQ(info->GetClassInfo(&coclass), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, toGuid(&vorncal::kClsidControl)));
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    // The type library's interfaces carry the identifiers both builds share.
    ASSERT_EQ(attr->cImplTypes, 2);
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ITypeInfo* implemented = nullptr;
        TYPEATTR* implementedAttr = nullptr;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, &implemented), S_OK);
        ASSERT_EQ(implemented->GetTypeAttr(&implementedAttr), S_OK);
        const bool source = (flags & IMPLTYPEFLAG_FSOURCE) != 0;
        EXPECT_TRUE(IsEqualGUID(implementedAttr->guid,
                                toGuid(source ? &vorncal::kDiidEvents : &vorncal::kDiidDispatch)));
        EXPECT_EQ(implementedAttr->typekind, TKIND_DISPATCH);
        implemented->ReleaseTypeAttr(implementedAttr);
        implemented->Release();
    }
    coclass->ReleaseTypeAttr(attr);
    coclass->Release();
    info->Release();

    auto* container = as<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
    ASSERT_NE(container, nullptr);
    IConnectionPoint* point = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &point), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(events, &point), S_OK);
    RecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_EQ(sink.refs, 1);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.refs, 0);
    point->Release();
    container->Release();
    control->Release();
}

TEST_F(Dispatch, PersistsItsVersionOnlyAndLoadsOnlyThatVersion) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    auto* persist = as<IPersistStreamInit>(control, IID_IPersistStreamInit);
    ASSERT_NE(persist, nullptr);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, 4u);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    DWORD version = 0;
    stream->Read(&version, sizeof version, nullptr);
    EXPECT_EQ(version, 0x10000u);
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream), S_OK);
    const DWORD newer = 0x20000;
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    stream->Write(&newer, sizeof newer, nullptr);
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream), E_FAIL);
    stream->Release();
    persist->Release();
    control->Release();
}

// A container's property bag, holding what a control writes.
class MemoryBag final : public IPropertyBag {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyBag)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        for (auto& [n, v] : values)
            if (n == name) return VariantCopy(value, &v);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, value);
        values.emplace_back(name, copy);
        return S_OK;
    }
    std::vector<std::pair<std::wstring, VARIANT>> values;
};

TEST_F(Dispatch, PropertyBagHoldsTheVersionOnly) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    auto* persist = as<IPersistPropertyBag>(control, IID_IPersistPropertyBag);
    ASSERT_NE(persist, nullptr);
    MemoryBag bag;
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    ASSERT_EQ(bag.values.size(), 1u);
    EXPECT_EQ(bag.values[0].first, L"_Version");
    EXPECT_EQ(bag.values[0].second.vt, VT_I4);
    EXPECT_EQ(bag.values[0].second.lVal, 0x10000);
    EXPECT_EQ(persist->Load(&bag, nullptr), S_OK);
    bag.values[0].second.lVal = 0x20000;
    EXPECT_EQ(persist->Load(&bag, nullptr), E_FAIL);
    MemoryBag empty;
    EXPECT_EQ(persist->Load(&empty, nullptr), S_OK);  // a new container's bag
    persist->Release();
    control->Release();
}

// A container's advise sink, counting the closes it hears of.
class ClosingSink final : public IAdviseSink {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IAdviseSink)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {}
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override { ++closes; }
    long refs = 0;
    int closes = 0;
};

TEST_F(Dispatch, ContainersHearOfItsClose) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    auto* object = as<IOleObject>(control, IID_IOleObject);
    ASSERT_NE(object, nullptr);
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    ClosingSink sink;
    DWORD connection = 0;
    ASSERT_EQ(object->Advise(&sink, &connection), S_OK);
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(sink.closes, 1);
    EXPECT_EQ(object->Unadvise(connection), S_OK);
    EXPECT_EQ(object->Unadvise(connection), OLE_E_NOCONNECTION);
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(sink.closes, 1);
    EXPECT_EQ(sink.refs, 0);
    object->Release();
    control->Release();
}

TEST_F(Dispatch, ItsPropertyPageIsGeneral) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    auto* specify = as<ISpecifyPropertyPages>(control, IID_ISpecifyPropertyPages);
    ASSERT_NE(specify, nullptr);
    CAUUID pages{};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    IPropertyPage* page = nullptr;
    ASSERT_EQ(CoCreateInstance(pages.pElems[0], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               reinterpret_cast<void**>(&page)),
              S_OK);
    CoTaskMemFree(pages.pElems);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszTitle, L"General");
    CoTaskMemFree(info.pszTitle);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    page->Release();
    specify->Release();
    control->Release();
}

}  // namespace
}  // namespace quirn::activex
