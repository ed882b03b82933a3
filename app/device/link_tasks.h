// The device worker's tasks that belong to the device link: scans, synchronisation, factory reset.
#pragma once

#include "app/core/device_worker.h"
#include "app/device/connection.h"

namespace vantrel {

class LinkTasks : public DeviceTaskActions {
public:
    explicit LinkTasks(Connection& connection) : connection_(connection) {}
    void ScanDevices() override {
        connection_.ScanDevices();
        connection_.ApplyConnectionState();
    }
    void SyncDevice() override { connection_.SyncDevice(); }
    void FactoryReset(KeyboardFamily) override { connection_.FactoryReset(); }

protected:
    Connection& connection_;
};

} // namespace vantrel
