onLoadName = "Alarm";
	onLoadMission = "Hold the bridge" briefing = 1;
