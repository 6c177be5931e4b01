#pragma once

#include "BridgeTransport.h"
#include "CallTrace.h"
#include "SimulatedUnit.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// One open/close cycle of an operation as a fault-free run made it. Calls
// and transactions are numbered from 1 within the operation.
struct Cycle {
    int firstCall = 0;
    // The flush that ends a successful open.
    int flushCall = 0;
    // The last call whose failure makes the cycle fail: the end of its last
    // data transaction, or of its open when it has none.
    int lastEssentialCall = 0;
    // The transactions that carry what the cycle is for. The status request
    // that ends a table read is not one: the read stands without its answer.
    std::vector<int> dataTransactions;
};

enum class FaultKind { None, FailCall, NoReply, LateReply, ShortReply, ErrorByte, VanishAfter };

struct Fault {
    FaultKind kind = FaultKind::None;
    // The call or transaction, counted from 1 within the operation; for
    // VanishAfter, the transactions completed first (0: gone from the start).
    int number = 0;
    // LateReply: the delay in ms; ShortReply: bytes left; ErrorByte: the byte.
    int value = 0;
};

// The calls, transactions and cycles of a fault-free run of one operation.
class OperationTrace {
public:
    OperationTrace(std::vector<TracedCall> calls, int transactionsBefore,
                   std::vector<std::vector<std::uint8_t>> requests)
        : calls_(std::move(calls)), requests_(std::move(requests)),
          lastCallOf_(requests_.size() + 1, 0) {
        for (std::size_t i = 0; i < calls_.size(); ++i) {
            const int call = static_cast<int>(i) + 1;
            const int transaction = calls_[i].transactions - transactionsBefore;
            switch (calls_[i].kind) {
            case CallKind::Count:
                cycles_.push_back(Cycle{call, 0, 0, {}});
                break;
            case CallKind::Flush:
                cycles_.back().flushCall = call;
                break;
            case CallKind::Write:
                if (!IsTableReadStatus(transaction)) {
                    cycles_.back().dataTransactions.push_back(transaction);
                }
                lastCallOf_[transaction] = call;
                break;
            case CallKind::Queue:
            case CallKind::Read:
                lastCallOf_[transaction] = call;
                break;
            default:
                break;
            }
        }
        for (Cycle& cycle : cycles_) {
            cycle.lastEssentialCall = cycle.dataTransactions.empty()
                                          ? cycle.flushCall
                                          : LastCallOf(cycle.dataTransactions.back());
        }
    }

    int CallCount() const { return static_cast<int>(calls_.size()); }
    const TracedCall& Call(int n) const { return calls_[n - 1]; }
    int TransactionCount() const { return static_cast<int>(requests_.size()); }
    int LastCallOf(int transaction) const { return lastCallOf_[transaction]; }
    const std::vector<Cycle>& Cycles() const { return cycles_; }

    bool IsBlockWrite(int transaction) const {
        const std::vector<std::uint8_t>& request = requests_[transaction - 1];
        return request.size() == 12 && request[0] == 0x10;
    }
    // The length of the unit's full answer to the transaction's request.
    int ReplyLength(int transaction) const {
        const std::vector<std::uint8_t>& request = requests_[transaction - 1];
        SimulatedUnit scratch;
        const auto reply = scratch.HandleRequest(request.data(), request.size());
        return reply ? static_cast<int>(reply->size()) : 0;
    }

private:
    bool IsTableReadStatus(int transaction) const {
        const std::vector<std::uint8_t>& request = requests_[transaction - 1];
        return request.size() == 8 && request[0] == 0x02;
    }

    std::vector<TracedCall> calls_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::vector<int> lastCallOf_;
    std::vector<Cycle> cycles_;
};

// What one fault does to the cycles of an operation, worked out from the
// fault-free trace.
class CaseModel {
public:
    CaseModel(const OperationTrace& trace, const Fault& fault) : trace_(trace), fault_(fault) {}

    const OperationTrace& Trace() const { return trace_; }
    const Fault& GetFault() const { return fault_; }

    // The cycle does not achieve what it is for.
    bool Spoils(const Cycle& cycle) const {
        switch (fault_.kind) {
        case FaultKind::None:
            return false;
        case FaultKind::FailCall:
            return fault_.number >= cycle.firstCall && fault_.number <= cycle.lastEssentialCall;
        case FaultKind::LateReply:
            return fault_.value >= static_cast<int>(BridgeTransport::kReplyTimeoutMs) &&
                   IsData(cycle);
        case FaultKind::NoReply:
        case FaultKind::ShortReply:
        case FaultKind::ErrorByte:
            return IsData(cycle);
        case FaultKind::VanishAfter:
            return FirstCallWithoutUnit() <= cycle.lastEssentialCall;
        }
        return false;
    }

    // The cycle got the unit open.
    bool Opens(const Cycle& cycle) const {
        switch (fault_.kind) {
        case FaultKind::FailCall:
            return fault_.number < cycle.firstCall || fault_.number > cycle.flushCall;
        case FaultKind::VanishAfter:
            return FirstCallWithoutUnit() > cycle.flushCall;
        default:
            return true;
        }
    }

    bool SpoilsNothing() const {
        return std::none_of(trace_.Cycles().begin(), trace_.Cycles().end(),
                            [this](const Cycle& cycle) { return Spoils(cycle); });
    }

private:
    bool IsData(const Cycle& cycle) const {
        return std::count(cycle.dataTransactions.begin(), cycle.dataTransactions.end(),
                          fault_.number) > 0;
    }

    // The unit goes once the reply of its last transaction has been read.
    int FirstCallWithoutUnit() const {
        return fault_.number == 0 ? 1 : trace_.LastCallOf(fault_.number) + 1;
    }

    const OperationTrace& trace_;
    Fault fault_;
};
