-- ardour7-lua create_session.lua SESSION-FOLDER NAME PLUGIN-URI [PORT=VALUE ...]
-- A new 44.1 kHz session (the Dummy backend) with one stereo track named "Audio 1",
-- the plug-in first in its chain, its control ports set (counted among the control
-- ports only), saved and closed. Prints the plug-in's and the track's latency.
local dir, name, uri = arg[1], arg[2], arg[3]
local s = create_session(dir, name, 44100)
assert(s, "create_session failed")
print("backend:", AudioEngine:current_backend_name(), "rate:", Session:nominal_sample_rate())

local track = Session:new_audio_track(2, 2, nil, 1, "Audio", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true, false):front()
local plugin = ARDOUR.LuaAPI.new_plugin(Session, uri, ARDOUR.PluginType.LV2, "")
assert(not plugin:isnil(), "plug-in not found: " .. uri)
assert(track:add_processor_by_index(plugin, 0, nil, true) == 0, "add_processor failed")
for i = 4, #arg do
  local port, value = string.match(arg[i], "^(%d+)=([-%d.]+)$")
  assert(port, "bad setting " .. arg[i])
  assert(ARDOUR.LuaAPI.set_processor_param(plugin, tonumber(port), tonumber(value)), "cannot set " .. arg[i])
end
-- The plug-in's latency port is read once it has run; on a busy machine the engine's
-- first cycles can take a while, so wait for it (up to 10 s).
local latency = plugin:signal_latency()
for _ = 1, 50 do
  if latency > 0 then break end
  ARDOUR.LuaAPI.usleep(200000)
  latency = plugin:signal_latency()
end
print("track:", track:name())
print("plugin latency:", latency)
Session:save_state("", false, false, false, false, false)
close_session()
