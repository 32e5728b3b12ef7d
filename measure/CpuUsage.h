// The CPU load service.
#pragma once
#include <windows.h>

class ICpuUsage {
 public:
  virtual HRESULT Start() = 0;
  virtual HRESULT Stop() = 0;
  // The load in percent over the interval since the previous reading.
  virtual HRESULT GetLoad(float* load) = 0;

 protected:
  ~ICpuUsage() = default;
};
