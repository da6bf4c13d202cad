-- Hoardbook: notes what each character carries in its bags and bank, so
-- that HoardbookUploader can send it to the guild website.

HoardbookData = HoardbookData or {}

local function Record(bags)
    local items = {}
    for _, bag in ipairs(bags) do
        for slot = 1, GetContainerNumSlots(bag) do
            local link = GetContainerItemLink(bag, slot)
            if link then
                local _, count = GetContainerItemInfo(bag, slot)
                local name = string.match(link, "%[(.-)%]") or link
                items[name] = (items[name] or 0) + (count or 1)
            end
        end
    end
    return items
end

local frame = CreateFrame("Frame")
frame:RegisterEvent("BANKFRAME_OPENED")
frame:RegisterEvent("PLAYER_LOGOUT")
frame:SetScript("OnEvent", function(_, event)
    local key = GetRealmName() .. "|" .. UnitName("player")
    local entry = HoardbookData[key] or {}
    if event == "BANKFRAME_OPENED" then
        entry.bank = Record({-1, 5, 6, 7, 8, 9, 10})
    else
        entry.bags = Record({0, 1, 2, 3, 4})
        entry.money = GetMoney()
        entry.time = time()
    end
    HoardbookData[key] = entry
end)
